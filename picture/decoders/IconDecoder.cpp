#include "picture/decoders/IconDecoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "picture/PictureError.h"
#include "picture/PictureLimits.h"
#include "picture/decoders/PngDecoder.h"

namespace {

constexpr std::uint64_t kDirectoryBytes = 6;
constexpr std::uint64_t kEntryBytes = 16;
constexpr std::uint32_t kDibHeaderBytes = 40;
const unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

[[noreturn]] void fail(const std::string& text) {
    throw PictureError("Неверный файл значка: " + text);
}

std::uint32_t u16(const unsigned char* p) {
    return p[0] | (std::uint32_t{p[1]} << 8);
}
std::uint32_t u32(const unsigned char* p) {
    return p[0] | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

std::uint64_t rowBytes(std::uint64_t width, std::uint64_t bits) {
    return ((width * bits + 31) / 32) * 4;
}

// A bitmap image inside an icon: its header, colours, colour pixels and transparency mask must all lie within
// the bytes its directory entry gives it.
void checkDib(const unsigned char* image, std::uint64_t length) {
    if (length < kDibHeaderBytes || u32(image) != kDibHeaderBytes) {
        fail("неизвестный заголовок изображения");
    }
    const std::int32_t width = static_cast<std::int32_t>(u32(image + 4));
    const std::int32_t doubledHeight = static_cast<std::int32_t>(u32(image + 8));
    const std::uint32_t bits = u16(image + 14);
    const std::uint32_t compression = u32(image + 16);
    const std::uint32_t coloursUsed = u32(image + 32);
    if (width <= 0 || doubledHeight <= 0 || doubledHeight % 2 != 0) {
        fail("неверный размер изображения");
    }
    checkFrameSize(width, doubledHeight / 2);
    if (compression != 0 ||
        !(bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32)) {
        fail("неподдерживаемое изображение");
    }
    if (coloursUsed > 256) {
        fail("слишком много цветов");
    }
    const std::uint64_t colours =
        bits <= 8 ? std::max<std::uint64_t>(coloursUsed, std::uint64_t{1} << bits) : coloursUsed;
    const std::uint64_t height = static_cast<std::uint64_t>(doubledHeight / 2);
    const std::uint64_t needed = kDibHeaderBytes + colours * 4 +
                                 rowBytes(static_cast<std::uint64_t>(width), bits) * height +
                                 rowBytes(static_cast<std::uint64_t>(width), 1) * height;
    if (needed > length) {
        fail("изображение обрывается");
    }
}

void checkIconFile(const unsigned char* data, std::uint64_t size) {
    if (size < kDirectoryBytes || u16(data) != 0 || (u16(data + 2) != 1 && u16(data + 2) != 2)) {
        fail("нет заголовка значка");
    }
    const std::uint64_t count = u16(data + 4);
    if (count == 0) {
        fail("в файле нет ни одного изображения");
    }
    const std::uint64_t directoryEnd = kDirectoryBytes + count * kEntryBytes;
    if (directoryEnd > size) {
        fail("каталог изображений обрывается");
    }
    for (std::uint64_t i = 0; i < count; ++i) {
        const unsigned char* entry = data + kDirectoryBytes + i * kEntryBytes;
        const std::uint64_t length = u32(entry + 8);
        const std::uint64_t offset = u32(entry + 12);
        if (offset < directoryEnd || offset > size || length > size - offset) {
            fail("изображение " + std::to_string(i + 1) + " лежит вне файла");
        }
        const unsigned char* image = data + offset;
        if (length >= sizeof kPngSignature && std::memcmp(image, kPngSignature, sizeof kPngSignature) == 0) {
            decodePng(image, static_cast<std::size_t>(length));  // throws for a damaged one
        } else {
            checkDib(image, length);
        }
    }
}

}  // namespace

QImage decodeIcon(const unsigned char* data, std::size_t size) {
    checkIconFile(data, size);
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader::setAllocationLimit(picture_limits::kQtAllocationLimitMb);
    QImageReader reader(&buffer, "ico");
    QImage icon = reader.read();
    if (icon.isNull()) {
        fail("изображение не читается");
    }
    return icon;
}

QImage iconOnWhite(const QImage& icon) {
    QImage bitmap(icon.size(), QImage::Format_RGB32);
    if (bitmap.isNull()) {
        throw PictureError("Недостаточно памяти для изображения");
    }
    bitmap.fill(Qt::white);
    QPainter painter(&bitmap);
    painter.drawImage(0, 0, icon);
    return bitmap;
}
