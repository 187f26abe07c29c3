#pragma once
// The device-independent bitmaps that metafiles carry, decoded by the same code as BMP files (DibDecoder).
// A bitmap that cannot be decoded (embedded JPEG/PNG compression, colour tables of palette indexes, sizes
// the bytes do not cover) gives a null image, and the record that holds it is skipped.

#include <QImage>
#include <cstdint>

#include "picture/metafile/MetafileReader.h"

namespace metafile {

struct Dib {
    QImage image;  // top row first, opaque; null when the bitmap cannot be drawn
    bool bottomUp = false;
};

// Counts the pixels decoded over one picture; going past kMaxDecodedPixels throws PictureError.
class PixelBudget {
  public:
    void spend(std::int64_t pixels);

  private:
    std::int64_t spent_ = 0;
};

// `info` holds the bitmap header, its masks and its colour table; `bits` holds the rows.
// `paletteIndexes` says the colour table holds 16-bit indexes into a logical palette (DIB_PAL_COLORS).
Dib decodeDib(const ByteView& info, const ByteView& bits, bool paletteIndexes, PixelBudget& budget);

// A packed bitmap as WMF stores it: header, masks, colour table and rows in one block.
Dib decodePackedDib(const ByteView& packed, bool paletteIndexes, PixelBudget& budget);

}  // namespace metafile
