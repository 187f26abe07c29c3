#pragma once
// The pixel memory for a decoded picture. A large picture's memory is mapped in one call before the decoder
// fills it, rather than by one page fault for every 4 KB it writes (some 23,000 for a 24-megapixel photo).

#include <QImage>

// A new image with uninitialised pixels; a null image when there is no memory for it.
QImage newImage(int width, int height, QImage::Format format);
