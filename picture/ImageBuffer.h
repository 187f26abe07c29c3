#pragma once
// The pixel memory for a decoded picture. A large picture gets memory the kernel may back with 2 MB pages: a
// 24-megapixel photo then costs about fifty page faults as the decoder fills it rather than some 23,000.

#include <QImage>

// A new image with uninitialised pixels; a null image when there is no memory for it.
QImage newImage(int width, int height, QImage::Format format);
