#include "picture/decoders/DibImage.h"

#include "picture/decoders/DibDecoder.h"

namespace metafile {

namespace {

dib::ColourTable colourTable(bool paletteIndexes) {
    return paletteIndexes ? dib::ColourTable::PaletteIndexes : dib::ColourTable::Colours;
}

dib::Span span(const ByteView& bytes) {
    return {bytes.data(), bytes.size()};
}

// A bitmap that cannot be decoded leaves a null image, so its record is skipped; one that can counts
// against the picture's budget, which throws past its limit and refuses the whole picture.
template <typename Decode>
Dib decodeCounted(PixelBudget& budget, Decode decode) {
    dib::Bitmap bitmap;
    try {
        bitmap = decode();
    } catch (const PictureError&) {
        return {};
    }
    budget.spend(static_cast<std::int64_t>(bitmap.image.width()) * bitmap.image.height());
    // Metafile bitmaps are drawn opaque, as the blit raster operations expect.
    if (bitmap.image.hasAlphaChannel()) {
        bitmap.image = bitmap.image.convertToFormat(QImage::Format_RGB32);
    }
    return {bitmap.image, bitmap.bottomUp};
}

}  // namespace

void PixelBudget::spend(std::int64_t pixels) {
    spent_ += pixels;
    if (spent_ > kMaxDecodedPixels) {
        throw PictureError("Метафайл содержит слишком много точек растровых изображений");
    }
}

Dib decodeDib(const ByteView& info, const ByteView& bits, bool paletteIndexes, PixelBudget& budget) {
    return decodeCounted(budget,
                         [&] { return dib::decodeDib(span(info), span(bits), colourTable(paletteIndexes)); });
}

Dib decodePackedDib(const ByteView& packed, bool paletteIndexes, PixelBudget& budget) {
    return decodeCounted(budget,
                         [&] { return dib::decodePackedDib(span(packed), colourTable(paletteIndexes)); });
}

}  // namespace metafile
