#include "viewer/paging/PageReader.h"

#include <cerrno>

#include "platform/FileError.h"
#include "platform/InputFile.h"

std::size_t readViewedBytes(const std::string& path, std::uint64_t offset, std::size_t count,
                            unsigned char* into) {
    const InputFile file(path);
    switch (file.kind()) {
        case InputFile::Kind::Missing:
            throw FileError(kCannotOpenFile, path, file.missingReason());
        case InputFile::Kind::Folder:
            throw FileError(kCannotOpenFile, path, EISDIR);
        case InputFile::Kind::Other:
            return 0;
        case InputFile::Kind::Regular:
            break;
    }
    return count == 0 ? 0 : file.readAt(into, count, offset);
}
