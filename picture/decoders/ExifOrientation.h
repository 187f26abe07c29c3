#pragma once
// The orientation a camera records in a JPEG file's Exif block, and the picture turned upright by it.

#include <QImage>
#include <cstddef>

// The orientation (1 to 8) the Exif block gives, from an APP1 marker's payload (it begins with "Exif", two
// zero bytes and a TIFF header). 1, upright, when the payload is no Exif block, names no orientation or is
// damaged: every offset in it is checked against its size.
int exifOrientation(const unsigned char* payload, std::size_t size);

// The stored picture mirrored and turned as the orientation says, so it shows as the camera saw it. A null
// image when there is no memory for the turned one.
QImage uprightPicture(const QImage& stored, int orientation);
