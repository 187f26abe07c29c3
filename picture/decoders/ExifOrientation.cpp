#include "picture/decoders/ExifOrientation.h"

#include <QTransform>
#include <cstdint>
#include <cstring>

namespace {

constexpr unsigned char kExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};
constexpr std::uint16_t kTiffMagic = 42;
constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;
constexpr std::uint64_t kEntryBytes = 12;

// The TIFF structure inside the Exif block, in its own byte order; reads past its end give nothing.
class TiffView {
  public:
    TiffView(const unsigned char* data, std::uint64_t size) : data_(data), size_(size) {}

    bool readOrder() {
        if (size_ < 2 || data_[0] != data_[1] || (data_[0] != 'I' && data_[0] != 'M')) {
            return false;
        }
        bigEndian_ = data_[0] == 'M';
        return true;
    }
    bool has(std::uint64_t offset, std::uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }
    std::uint16_t u16(std::uint64_t at) const {
        const unsigned char* p = data_ + at;
        return static_cast<std::uint16_t>(bigEndian_ ? (p[0] << 8) | p[1] : p[0] | (p[1] << 8));
    }
    std::uint32_t u32(std::uint64_t at) const {
        const std::uint32_t high = u16(bigEndian_ ? at : at + 2);
        const std::uint32_t low = u16(bigEndian_ ? at + 2 : at);
        return (high << 16) | low;
    }

  private:
    const unsigned char* data_;
    std::uint64_t size_;
    bool bigEndian_ = false;
};

}  // namespace

int exifOrientation(const unsigned char* payload, std::size_t size) {
    if (size < sizeof kExifHeader || std::memcmp(payload, kExifHeader, sizeof kExifHeader) != 0) {
        return 1;
    }
    TiffView tiff(payload + sizeof kExifHeader, size - sizeof kExifHeader);
    if (!tiff.readOrder() || !tiff.has(0, 8) || tiff.u16(2) != kTiffMagic) {
        return 1;
    }
    const std::uint64_t directory = tiff.u32(4);
    if (!tiff.has(directory, 2)) {
        return 1;
    }
    const std::uint64_t entries = tiff.u16(directory);
    for (std::uint64_t i = 0; i < entries; ++i) {
        const std::uint64_t entry = directory + 2 + i * kEntryBytes;
        if (!tiff.has(entry, kEntryBytes)) {
            break;
        }
        if (tiff.u16(entry) != kOrientationTag) {
            continue;
        }
        const std::uint16_t value = tiff.u16(entry + 8);
        const bool sound = tiff.u16(entry + 2) == kShortType && tiff.u32(entry + 4) >= 1;
        return sound && value >= 1 && value <= 8 ? value : 1;
    }
    return 1;
}

// Orientations 5 to 8 store the picture on its side: turned a quarter clockwise, 6 shows it; 5 and 7 mirror
// it afterwards across the one or the other axis; 8 turns it three quarters.
QImage uprightPicture(const QImage& stored, int orientation) {
    const auto turned = [&](int degrees) { return stored.transformed(QTransform().rotate(degrees)); };
    switch (orientation) {
        case 2:
            return stored.mirrored(true, false);
        case 3:
            return stored.mirrored(true, true);
        case 4:
            return stored.mirrored(false, true);
        case 5:
            return turned(90).mirrored(true, false);
        case 6:
            return turned(90);
        case 7:
            return turned(90).mirrored(false, true);
        case 8:
            return turned(270);
        default:
            return stored;
    }
}
