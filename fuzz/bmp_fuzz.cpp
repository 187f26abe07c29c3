// Bitmap header checks and decoding on arbitrary bytes: any input ends in a picture or a PictureError.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "picture/PictureError.h"
#include "picture/decoders/BmpDecoder.h"

namespace {

std::int64_t readI32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(p[0] | (p[1] << 8) | (p[2] << 16) | (std::uint32_t{p[3]} << 24));
}

// Pictures beyond a few megapixels only test the allocator; the size limits have their own tests.
bool pictureTooLargeToFuzz(const std::uint8_t* data, std::size_t size) {
    if (size < 26) {
        return false;
    }
    const bool core = readI32(data + 14) == 12;
    const std::int64_t width = core ? (data[18] | (data[19] << 8)) : readI32(data + 18);
    const std::int64_t height = core ? (data[20] | (data[21] << 8)) : readI32(data + 22);
    return std::abs(width) * std::abs(height) > 4'000'000;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (pictureTooLargeToFuzz(data, size)) {
        return 0;
    }
    try {
        const QImage image = decodeBmp(data, size);
        volatile QRgb corner = image.pixel(image.width() - 1, image.height() - 1);
        (void)corner;
    } catch (const PictureError&) {
    }
    return 0;
}
