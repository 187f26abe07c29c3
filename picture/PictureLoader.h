#pragma once
// Which decoder a picture file goes to, chosen by its name's extension alone, never by its content.

#include <string>

#include "picture/PictureError.h"
#include "picture/display/Animation.h"
#include "platform/files/FileError.h"

enum class PictureKind { None, Jpeg, Bitmap, Metafile, Icon, Gif, Png };

// The extension of a path: from the last "." after the last "/" to the end, dot included, ASCII a-z
// upper-cased; empty when there is none.
std::string upperExtension(const std::string& path);

PictureKind pictureKindOf(const std::string& path);

// Reads and decodes the file as `kind` says (anything but None and Icon). Throws FileError, with the file's
// name and the reason, when the file cannot be read or does not decode (then with kCannotShowPicture).
Animation loadPicture(PictureKind kind, const std::string& path);

// The icon file's chosen image, as a bitmap that is white where the icon is transparent. Throws as
// loadPicture does.
QImage loadIconBitmap(const std::string& path);

extern const char* const kCannotShowPicture;

// Runs `load`; a PictureError it throws becomes a FileError naming the file, as every other failure on a file
// is reported.
template <typename Load>
auto namingTheFile(const std::string& path, Load load) {
    try {
        return load();
    } catch (const PictureError& failure) {
        throw FileError(kCannotShowPicture, path, failure.what());
    }
}
