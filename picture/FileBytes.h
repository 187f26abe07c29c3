#pragma once
// Reads a picture file whole, for one decode; the file is closed again before decoding starts.

#include <string>
#include <vector>

// Throws FileError when the file cannot be opened or read, PictureError when it is larger than any picture
// the viewer decodes. Anything but a regular file (a FIFO, a device) reads as empty and is never opened.
std::vector<unsigned char> readPictureFile(const std::string& path);
