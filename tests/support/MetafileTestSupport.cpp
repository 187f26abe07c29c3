#include "MetafileTestSupport.h"

#include <cmath>
#include <cstring>
#include <sstream>

#include "picture/metafile/MetafileRenderer.h"

void appendU16(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void appendU32(std::string& out, std::uint32_t value) {
    appendU16(out, value & 0xFFFF);
    appendU16(out, value >> 16);
}

std::uint32_t floatBits(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

void appendF32(std::string& out, float value) {
    appendU32(out, floatBits(value));
}

void putU32(std::string& out, std::size_t at, std::uint32_t value) {
    std::string bytes;
    appendU32(bytes, value);
    out.replace(at, 4, bytes);
}

std::string dibInfo(int width, int height, int bitCount, const std::vector<std::uint32_t>& colours,
                    std::uint32_t compression) {
    std::string info;
    appendU32(info, 40);
    appendU32(info, static_cast<std::uint32_t>(width));
    appendU32(info, static_cast<std::uint32_t>(height));
    appendU16(info, 1);
    appendU16(info, static_cast<std::uint32_t>(bitCount));
    appendU32(info, compression);
    for (int i = 0; i < 3; ++i) {
        appendU32(info, 0);
    }
    appendU32(info, static_cast<std::uint32_t>(compression == 3 ? 0 : colours.size()));
    appendU32(info, 0);
    for (std::uint32_t colour : colours) {
        appendU32(info, colour);
    }
    return info;
}

EmfBuilder::EmfBuilder(std::int32_t frameRight, std::int32_t frameBottom, std::uint16_t handles) {
    appendU32(header_, 1);
    appendU32(header_, 88);
    for (int i = 0; i < 8; ++i) {
        appendU32(header_, 0);
    }
    appendU32(header_, 0x464D4520);
    appendU32(header_, 0x10000);
    appendU32(header_, 0);  // bytes, set by build()
    appendU32(header_, 0);  // records, set by build()
    appendU16(header_, handles);
    appendU16(header_, 0);
    for (int i = 0; i < 3; ++i) {
        appendU32(header_, 0);
    }
    // 1920 pixels on 508 mm each way is 96 dpi.
    appendU32(header_, 1920);
    appendU32(header_, 1920);
    appendU32(header_, 508);
    appendU32(header_, 508);
    frame(0, 0, frameRight, frameBottom);
}

EmfBuilder& EmfBuilder::bounds(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    putU32(header_, 8, static_cast<std::uint32_t>(left));
    putU32(header_, 12, static_cast<std::uint32_t>(top));
    putU32(header_, 16, static_cast<std::uint32_t>(right));
    putU32(header_, 20, static_cast<std::uint32_t>(bottom));
    return *this;
}

EmfBuilder& EmfBuilder::frame(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
    putU32(header_, 24, static_cast<std::uint32_t>(left));
    putU32(header_, 28, static_cast<std::uint32_t>(top));
    putU32(header_, 32, static_cast<std::uint32_t>(right));
    putU32(header_, 36, static_cast<std::uint32_t>(bottom));
    return *this;
}

EmfBuilder& EmfBuilder::add(std::uint32_t type, const std::vector<std::uint32_t>& words) {
    std::string payload;
    for (std::uint32_t word : words) {
        appendU32(payload, word);
    }
    return addRaw(type, payload);
}

EmfBuilder& EmfBuilder::addRaw(std::uint32_t type, const std::string& payload) {
    std::string padded = payload;
    padded.resize((padded.size() + 3) & ~std::size_t{3}, '\0');
    appendU32(records_, type);
    appendU32(records_, static_cast<std::uint32_t>(8 + padded.size()));
    records_ += padded;
    return *this;
}

std::string EmfBuilder::build() const {
    std::string file = header_ + records_;
    appendU32(file, 14);
    appendU32(file, 20);
    for (int i = 0; i < 3; ++i) {
        appendU32(file, i == 2 ? 20 : 0);
    }
    putU32(file, 48, static_cast<std::uint32_t>(file.size()));
    return file;
}

WmfBuilder::WmfBuilder(std::int16_t right, std::int16_t bottom, std::uint16_t unitsPerInch,
                       std::uint16_t objects)
    : objects_(objects) {
    appendU32(placeable_, 0x9AC6CDD7);
    appendU16(placeable_, 0);
    appendU16(placeable_, 0);
    appendU16(placeable_, 0);
    appendU16(placeable_, static_cast<std::uint16_t>(right));
    appendU16(placeable_, static_cast<std::uint16_t>(bottom));
    appendU16(placeable_, unitsPerInch);
    appendU32(placeable_, 0);
    std::uint16_t checksum = 0;
    for (std::size_t i = 0; i < 20; i += 2) {
        checksum ^= static_cast<std::uint16_t>(static_cast<unsigned char>(placeable_[i]) |
                                               (static_cast<unsigned char>(placeable_[i + 1]) << 8));
    }
    appendU16(placeable_, checksum);
}

WmfBuilder& WmfBuilder::add(std::uint16_t function, const std::vector<std::int32_t>& words) {
    std::string payload;
    for (std::int32_t word : words) {
        appendU16(payload, static_cast<std::uint32_t>(word) & 0xFFFF);
    }
    return addRaw(function, payload);
}

WmfBuilder& WmfBuilder::addRaw(std::uint16_t function, const std::string& payload) {
    std::string padded = payload;
    padded.resize((padded.size() + 1) & ~std::size_t{1}, '\0');
    appendU32(records_, static_cast<std::uint32_t>(3 + padded.size() / 2));
    appendU16(records_, function);
    records_ += padded;
    return *this;
}

std::string WmfBuilder::build() const {
    std::string records = records_;
    appendU32(records, 3);
    appendU16(records, 0);
    std::string header;
    appendU16(header, 1);
    appendU16(header, 9);
    appendU16(header, 0x300);
    appendU32(header, static_cast<std::uint32_t>((18 + records.size()) / 2));
    appendU16(header, objects_);
    appendU32(header, 0);
    appendU16(header, 0);
    return placeable_ + header + records;
}

namespace {

std::string number(double value) {
    std::ostringstream out;
    out << std::round(value * 100) / 100;
    return out.str();
}

std::string box(const QRectF& r) {
    return number(r.x()) + "," + number(r.y()) + " " + number(r.width()) + "x" + number(r.height());
}

std::string colourName(const QColor& colour) {
    return colour.name().toStdString();
}

}  // namespace

void RecordingCanvas::setClip(const std::optional<QRegion>& clip) {
    calls.push_back(clip ? "clip " + box(clip->boundingRect()) : "clip none");
}

void RecordingCanvas::fillPath(const QPainterPath& path, const QBrush& brush) {
    std::string style = brush.style() == Qt::SolidPattern ? "" : " style=" + std::to_string(brush.style());
    calls.push_back("fill " + colourName(brush.color()) + style + " " + box(path.boundingRect()));
}

void RecordingCanvas::strokePath(const QPainterPath& path, const QPen& pen) {
    calls.push_back("stroke " + colourName(pen.color()) + " w=" + number(pen.widthF()) + " " +
                    box(path.boundingRect()));
}

void RecordingCanvas::drawText(const QTransform& placement, const QString& text, const QFont& font,
                               const QColor& color) {
    const QPointF origin = placement.map(QPointF(0, 0));
    calls.push_back("text " + colourName(color) + " '" + text.toStdString() + "' at " + number(origin.x()) +
                    "," + number(origin.y()) + " px=" + std::to_string(font.pixelSize()));
}

void RecordingCanvas::drawImage(const QTransform& placement, const QImage& image, metafile::BlitMode mode) {
    static const char* const kModes[] = {"copy", "and", "or", "xor"};
    calls.push_back("image " + std::to_string(image.width()) + "x" + std::to_string(image.height()) + " " +
                    kModes[static_cast<int>(mode)] + " at " +
                    box(placement.mapRect(QRectF(0, 0, image.width(), image.height()))));
    images.push_back(image);
}

std::vector<std::string> record(const std::string& bytes) {
    const metafile::Document document = metafile::readDocument(bytes);
    RecordingCanvas canvas;
    metafile::render(document, canvas, QSizeF(document.size));
    return canvas.calls;
}
