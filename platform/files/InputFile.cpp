#include "platform/files/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/files/FileError.h"
#include "platform/files/LongPath.h"

const char* const kCannotOpenFile = "Не удалось открыть файл";
const char* const kCannotReadFile = "Не удалось прочитать файл";

InputFile::InputFile(const std::string& path, Listed listed) : InputFile(AT_FDCWD, path, path, listed) {}

InputFile::InputFile(int folder, const std::string& name, const std::string& path, Listed listed)
    : path_(path) {
    if (name.empty()) {
        missingReason_ = ENOENT;
        return;
    }
    if (listed == Listed::Unknown) {
        struct stat found {};
        if (statPath(name, found, 0, folder) != 0) {
            missingReason_ = errno;
            vanished_ = statPath(name, found, AT_SYMLINK_NOFOLLOW, folder) != 0;
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
    }
    // Non-blocking, so a FIFO put in the file's place after the look cannot hold the window.
    fd_ = openPath(name, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, folder);
    if (fd_ < 0) {
        if (listed == Listed::AsRegularFile && (errno == ENOENT || errno == ENOTDIR)) {
            missingReason_ = errno;  // gone since it was listed
            vanished_ = true;
            return;
        }
        throw FileError(kCannotOpenFile, path, errno);
    }
    struct stat opened {};
    if (fstat(fd_, &opened) != 0) {
        const int reason = errno;
        close(fd_);
        fd_ = -1;
        throw FileError(kCannotReadFile, path, reason);
    }
    kind_ = S_ISREG(opened.st_mode) ? Kind::Regular : S_ISDIR(opened.st_mode) ? Kind::Folder : Kind::Other;
    size_ = S_ISREG(opened.st_mode) ? static_cast<std::uint64_t>(opened.st_size) : 0;
}

InputFile::~InputFile() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

void InputFile::willReadSequentially() const {
    if (kind_ == Kind::Regular) {
        posix_fadvise(fd_, 0, 0, POSIX_FADV_SEQUENTIAL);
    }
}

void InputFile::willReadInSteps() const {
    if (kind_ == Kind::Regular) {
        posix_fadvise(fd_, 0, 0, POSIX_FADV_RANDOM);
        inSteps_ = true;
    }
}

namespace {

// The bytes from `offset` on that lie in a hole, up to `length` and the file's end: reading them would only
// fill the cache with made-up zeros, a page at a time. Nothing when the range holds data; a system that
// cannot tell holes reports all of the file as data.
std::optional<std::size_t> holeAt(int fd, std::uint64_t offset, std::size_t length) {
    const off_t data = lseek(fd, static_cast<off_t>(offset), SEEK_DATA);
    if (data >= 0) {
        return static_cast<std::uint64_t>(data) >= offset + length ? std::optional<std::size_t>(length)
                                                                   : std::nullopt;
    }
    if (errno != ENXIO) {
        return std::nullopt;
    }
    const off_t end = lseek(fd, 0, SEEK_END);  // a hole up to the end, or nothing left at all
    return end < 0 ? std::nullopt
                   : std::optional<std::size_t>(static_cast<std::uint64_t>(end) > offset
                                                    ? std::min<std::uint64_t>(length, end - offset)
                                                    : 0);
}

}  // namespace

std::size_t InputFile::readAt(void* into, std::size_t length, std::uint64_t offset) const {
    auto* bytes = static_cast<char*>(into);
    if (inSteps_ && kind_ == Kind::Regular) {
        if (const std::optional<std::size_t> zeros = holeAt(fd_, offset, length)) {
            std::memset(bytes, 0, *zeros);
            return *zeros;
        }
    }
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
