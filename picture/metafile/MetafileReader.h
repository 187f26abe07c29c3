#pragma once
// Reads a metafile's bytes: tells an enhanced metafile from a placeable WMF by content, checks the header and
// works out the picture's size at 96 dpi. Records are framed here too, each one checked against the file, so
// the players only ever see a record that lies wholly inside the bytes.

#include <QRectF>
#include <QSize>
#include <cstdint>
#include <cstring>
#include <string>

#include "picture/PictureError.h"

namespace metafile {

// Limits a picture must keep to; anything beyond is refused with a PictureError before work or allocation.
constexpr int kMaxSide = 16384;
constexpr std::int64_t kMaxPixels = 64LL * 1024 * 1024;
constexpr std::uint64_t kMaxFileBytes = 256ULL * 1024 * 1024;
constexpr std::uint64_t kMaxRecords = 2'000'000;
constexpr std::uint64_t kMaxPoints = 4'000'000;
constexpr std::uint64_t kMaxTextChars = 2'000'000;
constexpr std::uint32_t kMaxCharsPerText = 8192;
constexpr int kMaxSaveDepth = 256;
constexpr std::int64_t kMaxDecodedPixels = 512LL * 1024 * 1024;

constexpr double kDotsPerInch = 96.0;
constexpr double kMmPerInch = 25.4;

// A record (or any byte range) whose every read is checked; reading past its end throws ShortRecord, which
// the players turn into skipping that one record.
struct ShortRecord {};

class ByteView {
  public:
    ByteView() = default;
    ByteView(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t size() const { return size_; }
    const unsigned char* data() const { return data_; }
    bool has(std::uint64_t offset, std::uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }
    ByteView sub(std::uint64_t offset, std::uint64_t length) const {
        need(offset, length);
        return ByteView(data_ + offset, static_cast<std::size_t>(length));
    }
    std::uint8_t u8(std::uint64_t offset) const {
        need(offset, 1);
        return data_[offset];
    }
    std::uint16_t u16(std::uint64_t offset) const {
        need(offset, 2);
        return static_cast<std::uint16_t>(data_[offset] | (data_[offset + 1] << 8));
    }
    std::int16_t i16(std::uint64_t offset) const { return static_cast<std::int16_t>(u16(offset)); }
    std::uint32_t u32(std::uint64_t offset) const {
        need(offset, 4);
        return static_cast<std::uint32_t>(data_[offset]) |
               (static_cast<std::uint32_t>(data_[offset + 1]) << 8) |
               (static_cast<std::uint32_t>(data_[offset + 2]) << 16) |
               (static_cast<std::uint32_t>(data_[offset + 3]) << 24);
    }
    std::int32_t i32(std::uint64_t offset) const { return static_cast<std::int32_t>(u32(offset)); }
    float f32(std::uint64_t offset) const {
        const std::uint32_t bits = u32(offset);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

  private:
    void need(std::uint64_t offset, std::uint64_t length) const {
        if (!has(offset, length)) {
            throw ShortRecord{};
        }
    }

    const unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
};

enum class Kind { Enhanced, Placeable };

struct Document {
    Kind kind = Kind::Enhanced;
    std::string bytes;
    // The picture's size in pixels at 96 dpi.
    QSize size;
    // Enhanced: the frame in the reference device's pixels, which is stretched onto the picture.
    // Placeable: the bounding box in the metafile's logical units.
    QRectF frame;
    // Enhanced: the reference device's resolution, for the metric mapping modes.
    double pixelsPerMmX = kDotsPerInch / kMmPerInch;
    double pixelsPerMmY = kDotsPerInch / kMmPerInch;
    // Size of the object table.
    std::uint32_t handleCount = 0;
    // Offset of the first record after the headers, and where the records end.
    std::uint64_t firstRecord = 0;
    std::uint64_t recordsEnd = 0;

    ByteView view() const {
        return ByteView(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    }
};

// Checks the content and the header; throws PictureError for anything that is neither an enhanced metafile
// nor a placeable WMF, for a broken header and for a picture beyond the limits.
Document readDocument(std::string bytes);

// One record: its type (EMF) or function (WMF) and its bytes, the record header included.
struct Record {
    std::uint32_t type = 0;
    ByteView bytes;
};

// Walks the records in order. next() returns false at the end of the records; a record that claims fewer
// bytes than its own header or more than the file holds throws PictureError.
class RecordCursor {
  public:
    explicit RecordCursor(const Document& document);
    bool next(Record& record);

  private:
    const Document& document_;
    std::uint64_t offset_;
    std::uint64_t count_ = 0;
};

}  // namespace metafile
