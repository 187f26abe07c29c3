#pragma once
// Icon files (ICO) through the toolkit's reader, which picks the first image of the file. The directory and
// every image it points to are checked against the file first, so the reader never runs past the data.

#include <QImage>
#include <cstddef>

// Throws PictureError when the data is not a sound icon file within the limits.
QImage decodeIcon(const unsigned char* data, std::size_t size);

// The icon drawn at its own size onto a bitmap that is white wherever the icon is transparent.
QImage iconOnWhite(const QImage& icon);
