#pragma once
// JPEG through libjpeg.

#include <QImage>
#include <cstddef>

// The picture upright, as its Exif orientation says. Throws PictureError, with the reason in the program's
// words, when the data is not a whole, sound JPEG picture within the limits.
QImage decodeJpeg(const unsigned char* data, std::size_t size);
