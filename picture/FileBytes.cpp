#include "picture/FileBytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "picture/PictureError.h"
#include "picture/PictureLimits.h"
#include "platform/FileError.h"

namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { ::close(fd_); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

const char kCannotOpen[] = "Не удалось открыть файл";
const char kCannotRead[] = "Не удалось прочитать файл";

}  // namespace

FileBytes readPictureFile(const std::string& path) {
    struct stat before {};
    if (::stat(path.c_str(), &before) != 0) {
        throw FileError(kCannotOpen, path, errno);
    }
    if (S_ISDIR(before.st_mode)) {
        throw FileError(kCannotRead, path, EISDIR);
    }
    if (!S_ISREG(before.st_mode)) {
        return {};
    }
    // Non-blocking, so a FIFO put in the file's place after the check above cannot hold the window.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        throw FileError(kCannotOpen, path, errno);
    }
    const Descriptor file(fd);
    struct stat opened {};
    if (::fstat(file.get(), &opened) != 0) {
        throw FileError(kCannotRead, path, errno);
    }
    if (!S_ISREG(opened.st_mode)) {
        return {};
    }
    const std::int64_t size = opened.st_size;
    if (size > picture_limits::kMaxFileBytes) {
        throw PictureError("Файл слишком велик для изображения: " + std::to_string(size) + " байт");
    }
    FileBytes bytes(static_cast<std::size_t>(size));
    std::size_t filled = 0;
    while (filled < static_cast<std::size_t>(size)) {
        const ssize_t got =
            ::read(file.get(), bytes.data() + filled, static_cast<std::size_t>(size) - filled);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw FileError(kCannotRead, path, errno);
        }
        if (got == 0) {
            break;  // the file shrank while we read it; decode what is there
        }
        filled += static_cast<std::size_t>(got);
    }
    bytes.setSize(filled);
    return bytes;
}
