#pragma once
// PNG through libpng and zlib, with its transparency.

#include <QImage>
#include <cstddef>

// Throws PictureError with libpng's own text when the data is not a whole, sound PNG picture within the
// limits.
QImage decodePng(const unsigned char* data, std::size_t size);
