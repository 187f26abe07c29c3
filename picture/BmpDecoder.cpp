#include "picture/BmpDecoder.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "picture/PictureError.h"
#include "picture/PictureLimits.h"

namespace {

constexpr std::size_t kFileHeaderBytes = 14;
constexpr std::uint32_t kCoreHeaderBytes = 12;
constexpr std::uint32_t kInfoHeaderBytes = 40;

enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6 };

[[noreturn]] void fail(const std::string& text) {
    throw PictureError("Неверный файл BMP: " + text);
}

[[noreturn]] void truncated() {
    fail("файл обрывается раньше, чем кончается изображение");
}

class Bytes {
  public:
    Bytes(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t size() const { return size_; }
    bool holds(std::uint64_t offset, std::uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }
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
        if (!holds(at, length)) {
            truncated();
        }
        return data_ + at;
    }

  private:
    const unsigned char* data_;
    std::size_t size_;
};

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
    std::uint32_t pixelOffset = 0;
    std::uint32_t headerBytes = 0;
    std::int64_t width = 0;
    std::int64_t height = 0;  // rows as stored; positive height means the bottom row comes first
    bool topDown = false;
    std::uint32_t bitsPerPixel = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t coloursUsed = 0;
    std::uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
    std::uint64_t paletteOffset = 0;
    std::uint32_t paletteEntryBytes = 4;
};

Header readHeader(const Bytes& bytes) {
    if (bytes.size() < kFileHeaderBytes + 4 || bytes.u8(0) != 'B' || bytes.u8(1) != 'M') {
        fail("нет подписи BM");
    }
    Header header;
    header.pixelOffset = bytes.u32(10);
    header.headerBytes = bytes.u32(14);
    const std::uint64_t info = kFileHeaderBytes;
    if (header.headerBytes == kCoreHeaderBytes) {
        header.width = bytes.u16(info + 4);
        header.height = bytes.u16(info + 6);
        header.bitsPerPixel = bytes.u16(info + 10);
        header.paletteEntryBytes = 3;
    } else if (header.headerBytes == kInfoHeaderBytes || header.headerBytes == 52 ||
               header.headerBytes == 56 || header.headerBytes == 108 || header.headerBytes == 124) {
        header.width = bytes.i32(info + 4);
        const std::int64_t height = bytes.i32(info + 8);
        header.topDown = height < 0;
        header.height = header.topDown ? -height : height;
        header.bitsPerPixel = bytes.u16(info + 14);
        header.compression = bytes.u32(info + 16);
        header.coloursUsed = bytes.u32(info + 32);
        if (header.compression == kBitFields || header.compression == kAlphaBitFields) {
            // A 40-byte header has the masks after it; the longer ones carry them inside.
            const int maskCount = header.headerBytes > kInfoHeaderBytes
                                      ? (header.headerBytes >= 56 ? 4 : 3)
                                      : (header.compression == kAlphaBitFields ? 4 : 3);
            for (int i = 0; i < maskCount; ++i) {
                header.masks[i] = bytes.u32(info + kInfoHeaderBytes + 4 * static_cast<std::uint64_t>(i));
            }
            header.paletteOffset =
                header.headerBytes > kInfoHeaderBytes ? 0 : 4 * static_cast<std::uint64_t>(maskCount);
        }
    } else {
        fail("неизвестный заголовок длиной " + std::to_string(header.headerBytes) + " байт");
    }
    header.paletteOffset += info + header.headerBytes;
    checkFrameSize(header.width, header.height);
    if (bytes.u16(info + (header.headerBytes == kCoreHeaderBytes ? 8 : 12)) != 1) {
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
    if ((header.compression == kRle8 || header.compression == kRle4) && header.topDown) {
        fail("сжатое изображение не может храниться сверху вниз");
    }
    if (header.pixelOffset < header.paletteOffset || header.pixelOffset >= bytes.size()) {
        fail("смещение точек " + std::to_string(header.pixelOffset) + " вне файла");
    }
    return header;
}

std::vector<QRgb> readPalette(const Bytes& bytes, const Header& header) {
    std::vector<QRgb> palette;
    if (header.bitsPerPixel > 8) {
        return palette;
    }
    const std::uint64_t full = std::uint64_t{1} << header.bitsPerPixel;
    std::uint64_t count = header.coloursUsed != 0 ? std::min<std::uint64_t>(header.coloursUsed, full) : full;
    // The colours end where the pixels begin, whatever the header claims.
    count = std::min<std::uint64_t>(count,
                                    (header.pixelOffset - header.paletteOffset) / header.paletteEntryBytes);
    palette.reserve(static_cast<std::size_t>(full));
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t at = header.paletteOffset + i * header.paletteEntryBytes;
        palette.push_back(qRgb(static_cast<int>(bytes.u8(at + 2)), static_cast<int>(bytes.u8(at + 1)),
                               static_cast<int>(bytes.u8(at))));
    }
    // An index beyond the colours the file gives shows black.
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

QImage decodeUncompressed(const Bytes& bytes, const Header& header, const std::vector<QRgb>& palette) {
    const std::uint32_t bits = header.bitsPerPixel;
    const std::uint64_t stride = ((static_cast<std::uint64_t>(header.width) * bits + 31) / 32) * 4;
    const unsigned char* pixels =
        bytes.need(header.pixelOffset, stride * static_cast<std::uint64_t>(header.height));
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
// transparent; data that ends before the end-of-picture code or the last row is a cut-off file.
QImage decodeRunLength(const Bytes& bytes, const Header& header, const std::vector<QRgb>& palette) {
    QImage image = allocate(header, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const bool fourBits = header.compression == kRle4;
    const std::int64_t width = header.width;
    std::uint64_t at = header.pixelOffset;
    std::int64_t x = 0;
    std::int64_t row = 0;
    auto put = [&](std::uint32_t index) {
        if (x < width && row < header.height) {
            rowOf(image, header, row)[x] = palette[index];
        }
        ++x;
    };
    while (row < header.height) {
        const std::uint32_t count = bytes.u8(at);
        const std::uint32_t value = bytes.u8(at + 1);
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
            x += bytes.u8(at);
            row += bytes.u8(at + 1);
            at += 2;
        } else {
            const std::uint64_t dataBytes = fourBits ? (value + 1) / 2 : value;
            const unsigned char* literal = bytes.need(at, dataBytes);
            for (std::uint32_t i = 0; i < value; ++i) {
                put(fourBits ? ((i & 1) ? literal[i / 2] & 0x0F : literal[i / 2] >> 4) : literal[i]);
            }
            at += (dataBytes + 1) & ~std::uint64_t{1};  // literal runs are padded to whole 16-bit words
        }
    }
    return image;
}

}  // namespace

QImage decodeBmp(const unsigned char* data, std::size_t size) {
    const Bytes bytes(data, size);
    const Header header = readHeader(bytes);
    const std::vector<QRgb> palette = readPalette(bytes, header);
    if (header.compression == kRle8 || header.compression == kRle4) {
        return decodeRunLength(bytes, header, palette);
    }
    return decodeUncompressed(bytes, header, palette);
}
