// GIF reading and frame composition on arbitrary bytes: any input ends in frames or a PictureError.
#include <cstddef>
#include <cstdint>

#include "picture/GifDecoder.h"
#include "picture/PictureError.h"

namespace {

// Screens beyond a few megapixels only test the allocator; the size limits have their own tests.
bool screenTooLargeToFuzz(const std::uint8_t* data, std::size_t size) {
    if (size < 10) {
        return false;
    }
    const std::uint32_t width = data[6] | (data[7] << 8);
    const std::uint32_t height = data[8] | (data[9] << 8);
    return std::uint64_t{width} * height > 4'000'000;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (screenTooLargeToFuzz(data, size)) {
        return 0;
    }
    try {
        const Animation animation = decodeGif(data, size);
        for (const AnimationFrame& frame : animation.frames) {
            volatile QRgb corner = frame.image.pixel(frame.image.width() - 1, frame.image.height() - 1);
            (void)corner;
        }
    } catch (const PictureError&) {
    }
    return 0;
}
