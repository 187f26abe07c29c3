#pragma once
// The largest picture the viewer agrees to decode. A file declares its own size in a few header bytes, so
// every decoder checks the declaration against these limits before it allocates anything for it.

#include <cstdint>

namespace picture_limits {

constexpr std::int64_t kMaxFramePixels = 100'000'000;  // one frame, 400 MB as 32-bit pixels
constexpr std::int64_t kMaxTotalPixels = 200'000'000;  // all frames of an animation together
constexpr int kMaxFrames = 5000;
constexpr std::int64_t kMaxFileBytes = 512LL << 20;  // a picture file is read whole
constexpr int kQtAllocationLimitMb = 512;            // where Qt decodes (its default is 128 MB)

}  // namespace picture_limits

// Throws PictureError unless width x height is a non-empty frame within the limit.
void checkFrameSize(std::int64_t width, std::int64_t height);
