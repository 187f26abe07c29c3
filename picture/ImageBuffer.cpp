#include "picture/ImageBuffer.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::size_t kPage = 4096;
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
    const std::size_t rounded = (static_cast<std::size_t>(bytes) + kPage - 1) / kPage * kPage;
    void* buffer = std::aligned_alloc(kPage, rounded);
    if (buffer == nullptr) {
        return QImage();
    }
    // Only a shortcut: where the kernel does not know the advice, the decoder's writes fault the pages in.
    // (2 MB pages would fault faster still, but finding them can stall a fresh process for a few hundred ms.)
    madvise(buffer, rounded, MADV_POPULATE_WRITE);
    QImage image(static_cast<uchar*>(buffer), width, height, bytesPerLine, format, freeBuffer, buffer);
    if (image.isNull()) {
        std::free(buffer);  // Qt calls the cleanup only for an image it made
    }
    return image;
}
