#include "viewer/paging/PageReader.h"

#include <algorithm>

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

PageBytes readPageBytes(const std::string& path, std::uint64_t offset, std::size_t count,
                        unsigned char* into) {
    const auto before = static_cast<std::size_t>(std::min<std::uint64_t>(offset, kCutCharacterBytes));
    const std::size_t got = readViewedBytes(path, offset - before, before + count + kCutCharacterBytes, into);
    if (got <= before) {
        return {into + before, 0, 0, 0};  // the file has shrunk below the page
    }
    const std::size_t own = std::min(count, got - before);
    return {into + before, own, before, got - before - own};
}

void requireViewable(const std::string& path) {
    const InputFile file(path);
    isViewable(file, path);
}
