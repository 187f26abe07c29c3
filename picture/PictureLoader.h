#pragma once
// Which decoder a picture file goes to, chosen by its name's extension alone, never by its content.

#include <string>

#include "picture/display/Animation.h"

enum class PictureKind { None, Jpeg, Bitmap, Metafile, Icon, Gif, Png };

// The extension of a path: from the last "." after the last "/" to the end, dot included, ASCII a-z
// upper-cased; empty when there is none.
std::string upperExtension(const std::string& path);

PictureKind pictureKindOf(const std::string& path);

// Reads and decodes the file as `kind` says (anything but None and Icon). Throws FileError when the file
// cannot be read and PictureError when it does not decode.
Animation loadPicture(PictureKind kind, const std::string& path);

// The icon file's chosen image, as a bitmap that is white where the icon is transparent.
QImage loadIconBitmap(const std::string& path);
