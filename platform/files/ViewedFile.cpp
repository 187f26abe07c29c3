#include "platform/files/ViewedFile.h"

#include <cerrno>

#include "platform/files/FileError.h"

bool isViewable(const InputFile& file, const std::string& path) {
    switch (file.kind()) {
        case InputFile::Kind::Missing:
            throw FileError(kCannotOpenFile, path, file.missingReason());
        case InputFile::Kind::Folder:
            throw FileError(kCannotReadFile, path, EISDIR);
        case InputFile::Kind::Other:
            return false;
        case InputFile::Kind::Regular:
            break;
    }
    return true;
}
