#include "picture/FileBytes.h"

#include <cerrno>

#include "picture/PictureError.h"
#include "picture/PictureLimits.h"
#include "platform/FileError.h"
#include "platform/InputFile.h"

FileBytes readPictureFile(const std::string& path) {
    const InputFile file(path);
    switch (file.kind()) {
        case InputFile::Kind::Missing:
            throw FileError(kCannotOpenFile, path, file.missingReason());
        case InputFile::Kind::Folder:
            throw FileError(kCannotReadFile, path, EISDIR);
        case InputFile::Kind::Other:
            return {};
        case InputFile::Kind::Regular:
            break;
    }
    if (file.size() > static_cast<std::uint64_t>(picture_limits::kMaxFileBytes)) {
        throw PictureError("Файл слишком велик для изображения: " + std::to_string(file.size()) + " байт");
    }
    const auto size = static_cast<std::size_t>(file.size());
    FileBytes bytes(size);
    bytes.setSize(file.readAt(bytes.data(), size, 0));  // a file that shrank meanwhile: decode what is there
    return bytes;
}
