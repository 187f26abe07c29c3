#pragma once
// Device-independent bitmaps, the pixel format of BMP files and of the bitmaps inside metafiles: 1, 4, 8,
// 16, 24 and 32 bits a pixel, uncompressed, RLE4, RLE8 and bit fields (with alpha only when a bit field
// gives it). Every offset and size is checked against the bytes given before it is used.

#include <QImage>
#include <cstdint>

#include "picture/PictureError.h"

namespace dib {

// The bitmap's own bytes are damaged or in a form not decoded here. The callers say what holds the bitmap:
// a BMP file names itself in the text, a metafile skips the record.
class DibError : public PictureError {
  public:
    using PictureError::PictureError;
};

struct Span {
    const unsigned char* data = nullptr;
    std::uint64_t size = 0;
};

// What the colour table holds: colours, or 16-bit indexes into a logical palette, which are not decoded.
enum class ColourTable { Colours, PaletteIndexes };

struct Bitmap {
    QImage image;  // top row first; ARGB32 when the bitmap has transparency, RGB32 otherwise
    bool bottomUp = true;
};

// `info` starts with the header, followed by the bit-field masks and the colour table as far as it goes;
// colours beyond its end show black. `rows` holds the pixels. Throws DibError for damaged or unsupported
// data and PictureError for a picture beyond the limits or one that memory cannot hold.
Bitmap decodeDib(Span info, Span rows, ColourTable table = ColourTable::Colours);

// A packed bitmap: header, masks, the colour table as long as the header declares it, then the rows.
Bitmap decodePackedDib(Span packed, ColourTable table = ColourTable::Colours);

}  // namespace dib
