#pragma once
// Windows bitmaps (BMP): 1, 4, 8, 16, 24 and 32 bits a pixel, uncompressed, RLE4, RLE8 and bit fields.
// Decoded here rather than by the toolkit's reader, which leaves uninitialised memory in the picture for a
// cut-off file or a pixel offset past its end; this one checks every offset and size against the file first.

#include <QImage>
#include <cstddef>

// Throws PictureError when the data is not a whole, sound bitmap within the limits.
QImage decodeBmp(const unsigned char* data, std::size_t size);
