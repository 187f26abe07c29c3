#pragma once
// GIF through giflib: every frame with its disposal and delay, kept as colour indices for the player to
// compose on the logical screen.

#include <cstddef>

#include "picture/display/Animation.h"

// Throws PictureError with giflib's own text (or the limit that was hit) when the data is not a whole, sound
// GIF within the limits.
Animation decodeGif(const unsigned char* data, std::size_t size);
