#include "picture/metafile/MetafileReader.h"

#include <algorithm>
#include <cmath>

namespace metafile {

namespace {

constexpr std::uint32_t kEmrHeader = 1;
constexpr std::uint32_t kEmrEof = 14;
constexpr std::uint32_t kEmfSignature = 0x464D4520;
constexpr std::uint64_t kEmfHeaderMinimum = 88;
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::uint64_t kPlaceableHeaderSize = 22;
constexpr std::uint64_t kWmfHeaderSize = 18;
constexpr std::uint64_t kWmfRecordMinimumWords = 3;

[[noreturn]] void fail(const std::string& reason) {
    throw PictureError(reason);
}

bool looksEnhanced(const ByteView& view) {
    return view.has(0, kEmfHeaderMinimum) && view.u32(0) == kEmrHeader && view.u32(40) == kEmfSignature;
}

bool looksPlaceable(const ByteView& view) {
    return view.has(0, 4) && view.u32(0) == kPlaceableKey;
}

// A plain (non-placeable) WMF header: memory or disk type, a nine-word header.
bool looksPlainWmf(const ByteView& view) {
    return view.has(0, kWmfHeaderSize) && (view.u16(0) == 1 || view.u16(0) == 2) && view.u16(2) == 9;
}

// Rounds a size in pixels and refuses one beyond the limits before anything is allocated for it.
QSize checkedSize(double width, double height) {
    if (!(width > 0) || !(height > 0) || !std::isfinite(width) || !std::isfinite(height)) {
        fail("Метафайл имеет пустой размер");
    }
    const double roundedWidth = std::max(1.0, std::round(width));
    const double roundedHeight = std::max(1.0, std::round(height));
    if (roundedWidth > kMaxSide || roundedHeight > kMaxSide ||
        roundedWidth * roundedHeight > static_cast<double>(kMaxPixels)) {
        fail("Метафайл слишком велик: " + std::to_string(static_cast<long long>(roundedWidth)) + " x " +
             std::to_string(static_cast<long long>(roundedHeight)) +
             " точек (допускается не более 16384 x 16384 точек и 64 мегапикселей)");
    }
    return QSize(static_cast<int>(roundedWidth), static_cast<int>(roundedHeight));
}

// The reference device's pixels per millimetre along one axis; a missing or absurd value means 96 dpi.
double resolution(std::int32_t pixels, std::int32_t millimetres) {
    if (pixels <= 0 || millimetres <= 0) {
        return kDotsPerInch / kMmPerInch;
    }
    const double perMm = static_cast<double>(pixels) / millimetres;
    return perMm >= 0.01 && perMm <= 100000 ? perMm : kDotsPerInch / kMmPerInch;
}

void readEnhanced(Document& document) {
    const ByteView view = document.view();
    const std::uint64_t headerSize = view.u32(4);
    if (headerSize < kEmfHeaderMinimum || headerSize > view.size() || headerSize % 4 != 0) {
        fail("Заголовок метафайла повреждён: неверный размер заголовка");
    }
    document.pixelsPerMmX = resolution(view.i32(72), view.i32(80));
    document.pixelsPerMmY = resolution(view.i32(76), view.i32(84));
    document.handleCount = view.u16(56);
    document.firstRecord = headerSize;
    const std::uint64_t declaredBytes = view.u32(48);
    document.recordsEnd =
        declaredBytes >= headerSize && declaredBytes <= view.size() ? declaredBytes : view.size();

    // The frame is in hundredths of a millimetre; an empty frame falls back to the bounds in device pixels.
    const std::int64_t frameLeft = view.i32(24), frameTop = view.i32(28);
    const std::int64_t frameWidth = static_cast<std::int64_t>(view.i32(32)) - frameLeft;
    const std::int64_t frameHeight = static_cast<std::int64_t>(view.i32(36)) - frameTop;
    if (frameWidth > 0 && frameHeight > 0) {
        document.size = checkedSize(frameWidth * kDotsPerInch / (kMmPerInch * 100),
                                    frameHeight * kDotsPerInch / (kMmPerInch * 100));
        document.frame =
            QRectF(frameLeft * document.pixelsPerMmX / 100, frameTop * document.pixelsPerMmY / 100,
                   frameWidth * document.pixelsPerMmX / 100, frameHeight * document.pixelsPerMmY / 100);
        return;
    }
    const std::int64_t boundsLeft = view.i32(8), boundsTop = view.i32(12);
    const std::int64_t boundsWidth = static_cast<std::int64_t>(view.i32(16)) - boundsLeft + 1;
    const std::int64_t boundsHeight = static_cast<std::int64_t>(view.i32(20)) - boundsTop + 1;
    if (boundsWidth <= 0 || boundsHeight <= 0) {
        fail("Метафайл имеет пустой размер");
    }
    document.size = checkedSize(boundsWidth * kDotsPerInch / (document.pixelsPerMmX * kMmPerInch),
                                boundsHeight * kDotsPerInch / (document.pixelsPerMmY * kMmPerInch));
    document.frame = QRectF(boundsLeft, boundsTop, boundsWidth, boundsHeight);
}

void readPlaceable(Document& document) {
    const ByteView view = document.view();
    if (!view.has(0, kPlaceableHeaderSize + kWmfHeaderSize)) {
        fail("Заголовок метафайла повреждён: файл короче заголовка");
    }
    std::uint16_t checksum = 0;
    for (std::uint64_t word = 0; word < 10; ++word) {
        checksum ^= view.u16(word * 2);
    }
    if (checksum != view.u16(20)) {
        fail("Заголовок размещаемого метафайла WMF повреждён: неверная контрольная сумма");
    }
    const std::int32_t left = view.i16(6), top = view.i16(8), right = view.i16(10), bottom = view.i16(12);
    const std::uint16_t unitsPerInch = view.u16(14);
    if (unitsPerInch == 0) {
        fail("Заголовок размещаемого метафайла WMF повреждён: нулевое число единиц на дюйм");
    }
    const ByteView header = view.sub(kPlaceableHeaderSize, kWmfHeaderSize);
    if ((header.u16(0) != 1 && header.u16(0) != 2) || header.u16(2) != 9) {
        fail("Заголовок метафайла WMF повреждён");
    }
    document.size = checkedSize(std::abs(right - left) * kDotsPerInch / unitsPerInch,
                                std::abs(bottom - top) * kDotsPerInch / unitsPerInch);
    document.frame = QRectF(left, top, right - left, bottom - top);
    document.handleCount = header.u16(10);
    document.firstRecord = kPlaceableHeaderSize + kWmfHeaderSize;
    document.recordsEnd = view.size();
}

}  // namespace

Document readDocument(std::string bytes) {
    Document document;
    document.bytes = std::move(bytes);
    const ByteView view = document.view();
    if (looksEnhanced(view)) {
        document.kind = Kind::Enhanced;
        readEnhanced(document);
    } else if (looksPlaceable(view)) {
        document.kind = Kind::Placeable;
        readPlaceable(document);
    } else if (looksPlainWmf(view)) {
        fail("Метафайл WMF без размещаемого заголовка не поддерживается");
    } else {
        fail("Файл не является метафайлом EMF или размещаемым метафайлом WMF");
    }
    return document;
}

RecordCursor::RecordCursor(const Document& document) : document_(document), offset_(document.firstRecord) {}

bool RecordCursor::next(Record& record) {
    const ByteView view = document_.view();
    const std::uint64_t end = document_.recordsEnd;
    if (offset_ >= end) {
        return false;
    }
    if (++count_ > kMaxRecords) {
        fail("Метафайл содержит слишком много записей (допускается не более " + std::to_string(kMaxRecords) +
             ")");
    }
    const bool enhanced = document_.kind == Kind::Enhanced;
    const std::uint64_t headerBytes = enhanced ? 8 : 6;
    if (end - offset_ < headerBytes) {
        fail("Метафайл повреждён: файл обрывается посреди записи на смещении " + std::to_string(offset_));
    }
    std::uint64_t size;
    if (enhanced) {
        record.type = view.u32(offset_);
        size = view.u32(offset_ + 4);
        if (size < headerBytes || size % 4 != 0) {
            fail("Метафайл повреждён: неверный размер записи на смещении " + std::to_string(offset_));
        }
    } else {
        size = static_cast<std::uint64_t>(view.u32(offset_)) * 2;
        record.type = view.u16(offset_ + 4);
        if (size < kWmfRecordMinimumWords * 2) {
            fail("Метафайл повреждён: неверный размер записи на смещении " + std::to_string(offset_));
        }
    }
    if (size > end - offset_) {
        fail("Метафайл повреждён: запись на смещении " + std::to_string(offset_) + " выходит за конец файла");
    }
    record.bytes = view.sub(offset_, size);
    offset_ += size;
    const bool endOfFile = enhanced ? record.type == kEmrEof : record.type == 0;
    if (endOfFile) {
        offset_ = end;
        return false;
    }
    return true;
}

}  // namespace metafile
