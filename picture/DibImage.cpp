#include "picture/DibImage.h"

#include <vector>

namespace metafile {

namespace {

constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;
constexpr std::int64_t kMaxDibSide = 65536;

struct Layout {
    std::int64_t width = 0;
    std::int64_t height = 0;  // positive; bottomUp says which row comes first
    bool bottomUp = true;
    int bitCount = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t masks[3] = {0, 0, 0};
    std::uint64_t tableOffset = 0;
    std::uint64_t tableEntries = 0;
    std::uint64_t entrySize = 4;
    std::uint64_t infoSize = 0;  // header, masks and table
};

// Reads the header; false for a header this decoder does not understand.
bool readLayout(const ByteView& info, bool paletteIndexes, Layout& layout) {
    const std::uint32_t headerSize = info.u32(0);
    std::uint64_t usedColours = 0;
    if (headerSize == kCoreHeaderSize) {
        layout.width = info.u16(4);
        layout.height = info.u16(6);
        layout.bitCount = info.u16(10);
        layout.entrySize = 3;
    } else if (headerSize >= kInfoHeaderSize) {
        layout.width = info.i32(4);
        const std::int64_t height = info.i32(8);
        layout.bottomUp = height > 0;
        layout.height = height < 0 ? -height : height;
        layout.bitCount = info.u16(14);
        layout.compression = info.u32(16);
        usedColours = info.u32(32);
    } else {
        return false;
    }
    if (paletteIndexes) {
        layout.entrySize = 2;
    }
    std::uint64_t maskBytes = 0;
    if (layout.compression == kBiBitfields || layout.compression == kBiAlphaBitfields) {
        if (layout.bitCount != 16 && layout.bitCount != 32) {
            return false;
        }
        // A plain info header keeps the masks after it; the later headers hold them inside.
        const std::uint64_t masksAt = kInfoHeaderSize;
        if (headerSize == kInfoHeaderSize) {
            maskBytes = layout.compression == kBiAlphaBitfields ? 16 : 12;
        }
        for (int i = 0; i < 3; ++i) {
            layout.masks[i] = info.u32(masksAt + 4 * i);
        }
    } else if (layout.compression == kBiRgb) {
        if (layout.bitCount == 16) {
            layout.masks[0] = 0x7C00;
            layout.masks[1] = 0x03E0;
            layout.masks[2] = 0x001F;
        }
    } else {
        return false;
    }
    switch (layout.bitCount) {
        case 1:
        case 4:
        case 8:
            layout.tableEntries = usedColours != 0 ? usedColours : (1ULL << layout.bitCount);
            break;
        case 16:
        case 24:
        case 32:
            layout.tableEntries = usedColours;
            break;
        default:
            return false;
    }
    if (layout.width <= 0 || layout.height <= 0 || layout.width > kMaxDibSide ||
        layout.height > kMaxDibSide || layout.width * layout.height > kMaxPixels ||
        layout.tableEntries > (1U << 16)) {
        return false;
    }
    layout.tableOffset = headerSize + maskBytes;
    layout.infoSize = layout.tableOffset + layout.tableEntries * layout.entrySize;
    return true;
}

std::vector<QRgb> readColourTable(const ByteView& info, const Layout& layout) {
    const std::uint64_t count = std::min<std::uint64_t>(layout.tableEntries, 1ULL << layout.bitCount);
    std::vector<QRgb> colours(1ULL << layout.bitCount, qRgb(0, 0, 0));
    for (std::uint64_t i = 0;
         i < count && info.has(layout.tableOffset + i * layout.entrySize, layout.entrySize); ++i) {
        const std::uint64_t at = layout.tableOffset + i * layout.entrySize;
        colours[i] = qRgb(info.u8(at + 2), info.u8(at + 1), info.u8(at));
    }
    return colours;
}

// One channel of a bit-field pixel, scaled to 0..255.
int channel(std::uint32_t pixel, std::uint32_t mask) {
    if (mask == 0) {
        return 0;
    }
    int shift = 0;
    while (((mask >> shift) & 1) == 0) {
        ++shift;
    }
    const std::uint32_t field = mask >> shift;
    const std::uint32_t value = (pixel & mask) >> shift;
    return static_cast<int>(static_cast<std::uint64_t>(value) * 255 / field);
}

}  // namespace

void PixelBudget::spend(std::int64_t pixels) {
    spent_ += pixels;
    if (spent_ > kMaxDecodedPixels) {
        throw PictureError("Метафайл содержит слишком много точек растровых изображений");
    }
}

Dib decodeDib(const ByteView& info, const ByteView& bits, bool paletteIndexes, PixelBudget& budget) {
    Layout layout;
    if (!readLayout(info, paletteIndexes, layout) || (paletteIndexes && layout.bitCount <= 8)) {
        return {};
    }
    const std::uint64_t stride = ((static_cast<std::uint64_t>(layout.width) * layout.bitCount + 31) / 32) * 4;
    if (!bits.has(0, stride * static_cast<std::uint64_t>(layout.height))) {
        return {};
    }
    budget.spend(layout.width * layout.height);
    const std::vector<QRgb> colours =
        layout.bitCount <= 8 ? readColourTable(info, layout) : std::vector<QRgb>();
    QImage image(static_cast<int>(layout.width), static_cast<int>(layout.height), QImage::Format_RGB32);
    if (image.isNull()) {
        return {};
    }
    const unsigned char* data = bits.data();
    for (std::int64_t y = 0; y < layout.height; ++y) {
        const std::int64_t sourceRow = layout.bottomUp ? layout.height - 1 - y : y;
        const unsigned char* row = data + sourceRow * stride;
        QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
        for (std::int64_t x = 0; x < layout.width; ++x) {
            switch (layout.bitCount) {
                case 1:
                    out[x] = colours[(row[x / 8] >> (7 - x % 8)) & 1];
                    break;
                case 4:
                    out[x] = colours[(row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xF];
                    break;
                case 8:
                    out[x] = colours[row[x]];
                    break;
                case 16: {
                    const std::uint32_t pixel = row[2 * x] | (row[2 * x + 1] << 8);
                    out[x] = qRgb(channel(pixel, layout.masks[0]), channel(pixel, layout.masks[1]),
                                  channel(pixel, layout.masks[2]));
                    break;
                }
                case 24:
                    out[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
                    break;
                default: {
                    const unsigned char* p = row + 4 * x;
                    if (layout.compression == kBiRgb) {
                        out[x] = qRgb(p[2], p[1], p[0]);
                    } else {
                        const std::uint32_t pixel =
                            p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
                        out[x] = qRgb(channel(pixel, layout.masks[0]), channel(pixel, layout.masks[1]),
                                      channel(pixel, layout.masks[2]));
                    }
                    break;
                }
            }
        }
    }
    return {image, layout.bottomUp};
}

Dib decodePackedDib(const ByteView& packed, bool paletteIndexes, PixelBudget& budget) {
    Layout layout;
    if (!readLayout(packed, paletteIndexes, layout) || !packed.has(0, layout.infoSize)) {
        return {};
    }
    return decodeDib(packed.sub(0, layout.infoSize),
                     packed.sub(layout.infoSize, packed.size() - layout.infoSize), paletteIndexes, budget);
}

}  // namespace metafile
