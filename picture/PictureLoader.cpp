#include "picture/PictureLoader.h"

#include "picture/FileBytes.h"
#include "picture/decoders/BmpDecoder.h"
#include "picture/decoders/GifDecoder.h"
#include "picture/decoders/IconDecoder.h"
#include "picture/decoders/JpegDecoder.h"
#include "picture/decoders/PngDecoder.h"
#include "picture/metafile/Metafile.h"

std::string upperExtension(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return {};
    }
    std::string extension = path.substr(dot);
    for (char& c : extension) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return extension;
}

PictureKind pictureKindOf(const std::string& path) {
    const std::string extension = upperExtension(path);
    if (extension == ".JPG" || extension == ".JPEG") {
        return PictureKind::Jpeg;
    }
    if (extension == ".BMP") {
        return PictureKind::Bitmap;
    }
    if (extension == ".WMF") {
        return PictureKind::Metafile;
    }
    if (extension == ".ICO") {
        return PictureKind::Icon;
    }
    if (extension == ".GIF") {
        return PictureKind::Gif;
    }
    if (extension == ".PNG") {
        return PictureKind::Png;
    }
    return PictureKind::None;
}

namespace {

Animation decodePictureFile(PictureKind kind, const std::string& path) {
    if (kind == PictureKind::Metafile) {
        return Animation::still(loadMetafile(path));
    }
    const FileBytes bytes = readPictureFile(path);
    switch (kind) {
        case PictureKind::Jpeg:
            return Animation::still(decodeJpeg(bytes.data(), bytes.size()));
        case PictureKind::Bitmap:
            return Animation::still(decodeBmp(bytes.data(), bytes.size()));
        case PictureKind::Gif:
            return decodeGif(bytes.data(), bytes.size());
        case PictureKind::Png:
            return Animation::still(decodePng(bytes.data(), bytes.size()));
        case PictureKind::Icon:
        case PictureKind::None:
        case PictureKind::Metafile:
            break;
    }
    return {};
}

}  // namespace

const char* const kCannotShowPicture = "Не удалось показать изображение";

Animation loadPicture(PictureKind kind, const std::string& path) {
    return namingTheFile(path, [&] { return decodePictureFile(kind, path); });
}

QImage loadIconBitmap(const std::string& path) {
    return namingTheFile(path, [&] {
        const FileBytes bytes = readPictureFile(path);
        return iconOnWhite(decodeIcon(bytes.data(), bytes.size()));
    });
}
