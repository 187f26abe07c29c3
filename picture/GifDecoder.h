#pragma once
// GIF through giflib: every frame, composed on the logical screen as the file's disposal methods say.

#include <cstddef>

#include "picture/Animation.h"

// Throws PictureError with giflib's own text (or the limit that was hit) when the data is not a whole, sound
// GIF within the limits. Pixels no frame has painted yet are transparent.
Animation decodeGif(const unsigned char* data, std::size_t size);
