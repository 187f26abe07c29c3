#include "viewer/paging/PageReader.h"

#include "platform/files/InputFile.h"
#include "platform/files/ViewedFile.h"

std::size_t readViewedBytes(const std::string& path, std::uint64_t offset, std::size_t count,
                            unsigned char* into) {
    const InputFile file(path);
    if (!isViewable(file, path) || count == 0) {
        return 0;
    }
    return file.readAt(into, count, offset);
}

void requireViewable(const std::string& path) {
    const InputFile file(path);
    isViewable(file, path);
}
