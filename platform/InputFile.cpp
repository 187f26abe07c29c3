#include "platform/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/FileError.h"

const char* const kCannotOpenFile = "Не удалось открыть файл";
const char* const kCannotReadFile = "Не удалось прочитать файл";

InputFile::InputFile(const std::string& path) : path_(path) {
    struct stat found {};
    if (path.empty() || stat(path.c_str(), &found) != 0) {
        missingReason_ = path.empty() ? ENOENT : errno;
        return;
    }
    if (S_ISDIR(found.st_mode)) {
        kind_ = Kind::Folder;
        return;
    }
    if (!S_ISREG(found.st_mode)) {
        kind_ = Kind::Other;
        return;
    }
    // Non-blocking, so a FIFO put in the file's place after the look above cannot hold the window.
    fd_ = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd_ < 0) {
        throw FileError(kCannotOpenFile, path, errno);
    }
    struct stat opened {};
    if (fstat(fd_, &opened) != 0) {
        const int reason = errno;
        close(fd_);
        throw FileError(kCannotReadFile, path, reason);
    }
    kind_ = S_ISREG(opened.st_mode) ? Kind::Regular : Kind::Other;
    size_ = S_ISREG(opened.st_mode) ? static_cast<std::uint64_t>(opened.st_size) : 0;
    posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
}

InputFile::~InputFile() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

std::size_t InputFile::readAt(void* into, std::size_t length, std::uint64_t offset) const {
    auto* bytes = static_cast<char*>(into);
    std::size_t done = 0;
    while (done < length && kind_ == Kind::Regular) {
        const ssize_t got = pread(fd_, bytes + done, length - done, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw FileError(kCannotReadFile, path_, errno);
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}
