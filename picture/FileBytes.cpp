#include "picture/FileBytes.h"

#include "picture/PictureError.h"
#include "picture/PictureLimits.h"
#include "platform/files/InputFile.h"
#include "platform/files/ViewedFile.h"

FileBytes readPictureFile(const std::string& path) {
    const InputFile file(path);
    if (!isViewable(file, path)) {
        return {};
    }
    if (file.size() > static_cast<std::uint64_t>(picture_limits::kMaxFileBytes)) {
        throw PictureError("Файл слишком велик для изображения: " + std::to_string(file.size()) + " байт");
    }
    const auto size = static_cast<std::size_t>(file.size());
    FileBytes bytes(size);
    bytes.setSize(file.readAt(bytes.data(), size, 0));  // a file that shrank meanwhile: decode what is there
    return bytes;
}
