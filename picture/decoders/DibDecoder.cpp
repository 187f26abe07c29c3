#include "picture/decoders/DibDecoder.h"

#include <algorithm>
#include <string>
#include <vector>

#include "picture/PictureLimits.h"

namespace dib {

namespace {

constexpr std::uint32_t kCoreHeaderBytes = 12;
constexpr std::uint32_t kInfoHeaderBytes = 40;

enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6 };

[[noreturn]] void fail(const std::string& text) {
    throw DibError(text);
}

// Bytes whose every read is checked; reading past the end throws DibError with the text given.
class Reader {
  public:
    Reader(Span span, const char* endText) : span_(span), endText_(endText) {}

    std::uint64_t size() const { return span_.size; }
    std::uint32_t u8(std::uint64_t at) const { return need(at, 1)[0]; }
    std::uint32_t u16(std::uint64_t at) const {
        const unsigned char* p = need(at, 2);
        return p[0] | (std::uint32_t{p[1]} << 8);
    }
    std::uint32_t u32(std::uint64_t at) const {
        const unsigned char* p = need(at, 4);
        return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
    }
    std::int32_t i32(std::uint64_t at) const { return static_cast<std::int32_t>(u32(at)); }
    const unsigned char* need(std::uint64_t at, std::uint64_t length) const {
        if (at > span_.size || length > span_.size - at) {
            fail(endText_);
        }
        return span_.data + at;
    }

  private:
    Span span_;
    const char* endText_;
};

Reader infoReader(Span info) {
    return Reader(info, "заголовок, маски или цвета обрываются, не дойдя до точек");
}

Reader rowsReader(Span rows) {
    return Reader(rows, "данные обрываются раньше, чем кончается изображение");
}

// One colour channel of a bit-field pixel, scaled to 0..255.
class Channel {
  public:
    explicit Channel(std::uint32_t mask) : mask_(mask) {
        if (mask == 0) {
            return;
        }
        while (((mask >> shift_) & 1U) == 0) {
            ++shift_;
        }
        max_ = mask >> shift_;
    }
    bool present() const { return mask_ != 0; }
    std::uint32_t operator()(std::uint32_t pixel) const {
        return static_cast<std::uint32_t>((std::uint64_t{(pixel & mask_) >> shift_} * 255 + max_ / 2) / max_);
    }

  private:
    std::uint32_t mask_;
    int shift_ = 0;
    std::uint32_t max_ = 1;
};

struct Header {
    std::int64_t width = 0;
    std::int64_t height = 0;  // rows as stored
    bool topDown = false;
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t coloursUsed = 0;
    std::uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
    std::uint64_t tableOffset = 0;          // from the start of the header
    std::uint64_t entryBytes = 4;

    bool runLength() const { return compression == kRle8 || compression == kRle4; }
    // Entries the colour table takes up in a packed bitmap, whether or not the pixels use them.
    std::uint64_t declaredEntries() const {
        if (bitsPerPixel > 8) {
            return coloursUsed;
        }
        return coloursUsed != 0 ? coloursUsed : std::uint64_t{1} << bitsPerPixel;
    }
};

Header readHeader(const Reader& info, ColourTable table) {
    Header header;
    const std::uint32_t headerBytes = info.u32(0);
    if (headerBytes == kCoreHeaderBytes) {
        header.width = info.u16(4);
        header.height = info.u16(6);
        header.bitsPerPixel = info.u16(10);
        header.entryBytes = 3;
    } else if (headerBytes == kInfoHeaderBytes || headerBytes == 52 || headerBytes == 56 ||
               headerBytes == 108 || headerBytes == 124) {
        header.width = info.i32(4);
        const std::int64_t height = info.i32(8);
        header.topDown = height < 0;
        header.height = header.topDown ? -height : height;
        header.bitsPerPixel = info.u16(14);
        header.compression = info.u32(16);
        header.coloursUsed = info.u32(32);
        if (header.compression == kBitFields || header.compression == kAlphaBitFields) {
            // A 40-byte header has the masks after it; the longer ones carry them inside.
            const int maskCount = headerBytes > kInfoHeaderBytes
                                      ? (headerBytes >= 56 ? 4 : 3)
                                      : (header.compression == kAlphaBitFields ? 4 : 3);
            for (int i = 0; i < maskCount; ++i) {
                header.masks[i] = info.u32(kInfoHeaderBytes + 4 * static_cast<std::uint64_t>(i));
            }
            header.tableOffset =
                headerBytes > kInfoHeaderBytes ? 0 : 4 * static_cast<std::uint64_t>(maskCount);
        }
    } else {
        fail("неизвестный заголовок длиной " + std::to_string(headerBytes) + " байт");
    }
    header.tableOffset += headerBytes;
    info.need(0, header.tableOffset);
    if (table == ColourTable::PaletteIndexes) {
        header.entryBytes = 2;
    }
    checkFrameSize(header.width, header.height);
    if (info.u16(headerBytes == kCoreHeaderBytes ? 8 : 12) != 1) {
        fail("число плоскостей не 1");
    }
    const std::uint32_t bits = header.bitsPerPixel;
    const bool bitsKnown = bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    const bool fitsCompression =
        (header.compression == kRgb && bitsKnown) || (header.compression == kRle8 && bits == 8) ||
        (header.compression == kRle4 && bits == 4) ||
        ((header.compression == kBitFields || header.compression == kAlphaBitFields) &&
         (bits == 16 || bits == 32));
    if (!fitsCompression) {
        fail("неподдерживаемое сочетание: " + std::to_string(bits) + " бит на точку, сжатие " +
             std::to_string(header.compression));
    }
    if (header.runLength() && header.topDown) {
        fail("сжатое изображение не может храниться сверху вниз");
    }
    if (table == ColourTable::PaletteIndexes && bits <= 8) {
        fail("цвета заданы номерами в логической палитре");
    }
    return header;
}

std::vector<QRgb> readPalette(const Reader& info, const Header& header) {
    std::vector<QRgb> palette;
    if (header.bitsPerPixel > 8) {
        return palette;
    }
    const std::uint64_t full = std::uint64_t{1} << header.bitsPerPixel;
    std::uint64_t count = header.coloursUsed != 0 ? std::min<std::uint64_t>(header.coloursUsed, full) : full;
    // The colours end where the header's bytes end, whatever the header claims.
    count = std::min<std::uint64_t>(count, (info.size() - header.tableOffset) / header.entryBytes);
    palette.reserve(static_cast<std::size_t>(full));
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t at = header.tableOffset + i * header.entryBytes;
        palette.push_back(qRgb(static_cast<int>(info.u8(at + 2)), static_cast<int>(info.u8(at + 1)),
                               static_cast<int>(info.u8(at))));
    }
    // An index beyond the colours given shows black.
    palette.resize(static_cast<std::size_t>(full), qRgb(0, 0, 0));
    return palette;
}

QImage allocate(const Header& header, QImage::Format format) {
    QImage image(static_cast<int>(header.width), static_cast<int>(header.height), format);
    if (image.isNull()) {
        throw PictureError("Недостаточно памяти для изображения");
    }
    return image;
}

QRgb* rowOf(QImage& image, const Header& header, std::int64_t storedRow) {
    const std::int64_t y = header.topDown ? storedRow : header.height - 1 - storedRow;
    return reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(y)));
}

QImage decodeUncompressed(const Reader& rows, const Header& header, const std::vector<QRgb>& palette) {
    const std::uint32_t bits = header.bitsPerPixel;
    const std::uint64_t stride = ((static_cast<std::uint64_t>(header.width) * bits + 31) / 32) * 4;
    const unsigned char* pixels = rows.need(0, stride * static_cast<std::uint64_t>(header.height));
    std::uint32_t masks[4] = {header.masks[0], header.masks[1], header.masks[2], header.masks[3]};
    if (header.compression == kRgb) {
        if (bits == 16) {
            masks[0] = 0x7C00;
            masks[1] = 0x03E0;
            masks[2] = 0x001F;
        } else {
            masks[0] = 0xFF0000;
            masks[1] = 0x00FF00;
            masks[2] = 0x0000FF;
        }
        masks[3] = 0;  // without bit fields the fourth byte of a 32-bit pixel means nothing
    }
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
    QImage image = allocate(header, alpha.present() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const int width = static_cast<int>(header.width);
    for (std::int64_t row = 0; row < header.height; ++row) {
        const unsigned char* source = pixels + static_cast<std::uint64_t>(row) * stride;
        QRgb* target = rowOf(image, header, row);
        for (int x = 0; x < width; ++x) {
            switch (bits) {
                case 1:
                    target[x] = palette[(source[x >> 3] >> (7 - (x & 7))) & 1];
                    break;
                case 4:
                    target[x] = palette[(source[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F];
                    break;
                case 8:
                    target[x] = palette[source[x]];
                    break;
                case 24: {
                    const unsigned char* p = source + 3 * x;
                    target[x] = qRgb(p[2], p[1], p[0]);
                    break;
                }
                default: {
                    const unsigned char* p = source + (bits / 8) * x;
                    const std::uint32_t pixel =
                        bits == 16 ? (p[0] | (p[1] << 8))
                                   : (p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24));
                    const std::uint32_t a = alpha.present() ? alpha(pixel) : 255;
                    target[x] = qRgba(static_cast<int>(red(pixel)), static_cast<int>(green(pixel)),
                                      static_cast<int>(blue(pixel)), static_cast<int>(a));
                }
            }
        }
    }
    return image;
}

// Run-length coded rows. Pixels that the codes skip (with a move or an early end of line or picture) stay
// transparent; data that ends before the end-of-picture code or the last row is cut off.
QImage decodeRunLength(const Reader& rows, const Header& header, const std::vector<QRgb>& palette) {
    QImage image = allocate(header, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const bool fourBits = header.compression == kRle4;
    const std::int64_t width = header.width;
    std::uint64_t at = 0;
    std::int64_t x = 0;
    std::int64_t row = 0;
    auto put = [&](std::uint32_t index) {
        if (x < width && row < header.height) {
            rowOf(image, header, row)[x] = palette[index];
        }
        ++x;
    };
    while (row < header.height) {
        const std::uint32_t count = rows.u8(at);
        const std::uint32_t value = rows.u8(at + 1);
        at += 2;
        if (count > 0) {
            for (std::uint32_t i = 0; i < count; ++i) {
                put(fourBits ? ((i & 1) ? value & 0x0F : value >> 4) : value);
            }
        } else if (value == 0) {
            x = 0;
            ++row;
        } else if (value == 1) {
            return image;
        } else if (value == 2) {
            x += rows.u8(at);
            row += rows.u8(at + 1);
            at += 2;
        } else {
            const std::uint64_t dataBytes = fourBits ? (value + 1) / 2 : value;
            const unsigned char* literal = rows.need(at, dataBytes);
            for (std::uint32_t i = 0; i < value; ++i) {
                put(fourBits ? ((i & 1) ? literal[i / 2] & 0x0F : literal[i / 2] >> 4) : literal[i]);
            }
            at += (dataBytes + 1) & ~std::uint64_t{1};  // literal runs are padded to whole 16-bit words
        }
    }
    return image;
}

}  // namespace

Bitmap decodeDib(Span info, Span rows, ColourTable table) {
    const Reader infoBytes = infoReader(info);
    const Header header = readHeader(infoBytes, table);
    const std::vector<QRgb> palette = readPalette(infoBytes, header);
    const Reader rowBytes = rowsReader(rows);
    QImage image = header.runLength() ? decodeRunLength(rowBytes, header, palette)
                                      : decodeUncompressed(rowBytes, header, palette);
    return {image, !header.topDown};
}

Bitmap decodePackedDib(Span packed, ColourTable table) {
    const Reader bytes = infoReader(packed);
    const Header header = readHeader(bytes, table);
    const std::uint64_t rowsAt = header.tableOffset + header.declaredEntries() * header.entryBytes;
    bytes.need(0, rowsAt);
    return decodeDib({packed.data, rowsAt}, {packed.data + rowsAt, packed.size - rowsAt}, table);
}

}  // namespace dib
