#pragma once
// JPEG through libjpeg.

#include <QImage>
#include <cstddef>

// Throws PictureError with libjpeg's own text when the data is not a whole, sound JPEG picture within the
// limits.
QImage decodeJpeg(const unsigned char* data, std::size_t size);
