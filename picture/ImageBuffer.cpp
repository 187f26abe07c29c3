#include "picture/ImageBuffer.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::size_t kHugePage = 2 << 20;
constexpr std::int64_t kLargeImageBytes = 8 << 20;  // below this the faults do not matter

void freeBuffer(void* buffer) {
    std::free(buffer);
}

}  // namespace

QImage newImage(int width, int height, QImage::Format format) {
    const qsizetype bytesPerLine =
        ((static_cast<qsizetype>(width) * QImage::toPixelFormat(format).bitsPerPixel() + 31) >> 5) << 2;
    const std::int64_t bytes = std::int64_t{bytesPerLine} * height;
    if (width <= 0 || height <= 0 || bytes < kLargeImageBytes) {
        return QImage(width, height, format);
    }
    const std::size_t rounded = (static_cast<std::size_t>(bytes) + kHugePage - 1) / kHugePage * kHugePage;
    void* buffer = std::aligned_alloc(kHugePage, rounded);
    if (buffer == nullptr) {
        return QImage();
    }
    madvise(buffer, rounded, MADV_HUGEPAGE);  // only advice: without it the pages are small, nothing else
    QImage image(static_cast<uchar*>(buffer), width, height, bytesPerLine, format, freeBuffer, buffer);
    if (image.isNull()) {
        std::free(buffer);  // Qt calls the cleanup only for an image it made
    }
    return image;
}
