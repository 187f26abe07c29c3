// GIF reading and frame composition on arbitrary bytes: any input ends in frames or a PictureError.
#include <cstddef>
#include <cstdint>

#include "picture/PictureError.h"
#include "picture/decoders/GifDecoder.h"
#include "picture/display/AnimationPlayer.h"

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
        AnimationPlayer player(decodeGif(data, size));
        // Twice round, so the first frame is composed again after the last one's disposal.
        for (int shown = 0; shown < 2 * player.frameCount(); ++shown) {
            const QImage& frame = player.frame();
            volatile QRgb corner = frame.pixel(frame.width() - 1, frame.height() - 1);
            (void)corner;
            player.advance();
        }
    } catch (const PictureError&) {
    }
    return 0;
}
