#include "matching/ContentMatch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "matching/TextScanner.h"
#include "platform/EventPump.h"
#include "platform/FileError.h"

namespace {

constexpr std::size_t kBlockSize = 256 * 1024;

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

bool meansNoSuchFile(int errorNumber) {
    return errorNumber == ENOENT || errorNumber == ENOTDIR || errorNumber == ELOOP ||
           errorNumber == ENAMETOOLONG;
}

// Reads up to `length` bytes at `offset`, retrying interrupted and partial reads; fewer only at the file's
// end.
std::size_t readAt(int fd, const std::string& path, char* into, std::size_t length, std::uint64_t offset) {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t got = pread(fd, into + done, length - done, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw FileError("Не удалось прочитать файл", path, errno);
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return done;
}

// The one block buffer, reused by every call; a text longer than a block gets a buffer of its own for that
// call.
char* sharedBlock() {
    static const std::unique_ptr<char[]> block(new char[kBlockSize]);
    return block.get();
}

}  // namespace

std::string WinToDos(const std::string& text) {
    std::string dos = text;
    for (char& c : dos) {
        const auto code = static_cast<unsigned char>(c);
        if (code >= 0xC0 && code <= 0xEF) {
            c = static_cast<char>(code - 64);
        } else if (code >= 0xF0) {
            c = static_cast<char>(code - 16);
        } else if (code == 0xA8) {
            c = static_cast<char>(0xF0);
        } else if (code == 0xB8) {
            c = static_cast<char>(0xF1);
        }
    }
    return dos;
}

std::uint64_t QueryFileSize(const std::string& path) {
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return 0;
    }
    return static_cast<std::uint64_t>(info.st_size);
}

std::int64_t SearchFile(const std::string& path, const std::string& text, std::uint64_t startOffset) {
    if (path.empty() || text.empty()) {
        return -1;
    }
    // Only regular files are opened: opening a FIFO would block and opening a device may act on it.
    // O_NONBLOCK still guards the moment between the test and the open.
    if (QueryFileSize(path) == 0) {
        return -1;
    }
    const FileDescriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0) {
        if (meansNoSuchFile(errno)) {
            return -1;
        }
        throw FileError("Не удалось открыть файл", path, errno);
    }
    struct stat info {};
    if (fstat(file.get(), &info) != 0) {
        throw FileError("Не удалось открыть файл", path, errno);
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    const std::size_t n = text.size();
    if (!S_ISREG(info.st_mode) || startOffset >= size || size - startOffset < n) {
        return -1;
    }
    posix_fadvise(file.get(), 0, 0, POSIX_FADV_SEQUENTIAL);

    const TextScanner scanner(text);
    std::vector<char> ownBuffer;
    char* buffer = sharedBlock();
    std::size_t capacity = kBlockSize;
    if (n > kBlockSize / 2) {
        ownBuffer.resize(2 * n);
        buffer = ownBuffer.data();
        capacity = ownBuffer.size();
    }

    // The buffer holds the last n - 1 bytes of the previous block before the new one, so a match across a
    // block boundary is seen whole.
    std::uint64_t bufferOffset = startOffset;
    std::uint64_t readOffset = startOffset;
    std::size_t filled = 0;
    while (readOffset < size) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(capacity - filled, size - readOffset));
        const std::size_t got = readAt(file.get(), path, buffer + filled, want, readOffset);
        readOffset += got;
        filled += got;
        pumpEvents();
        const std::ptrdiff_t found = scanner.find(buffer, filled);
        if (found >= 0) {
            return static_cast<std::int64_t>(bufferOffset + static_cast<std::uint64_t>(found));
        }
        if (got < want) {
            break;  // the file shrank: search what was read
        }
        const std::size_t keep = std::min(n - 1, filled);
        std::memmove(buffer, buffer + filled - keep, keep);
        bufferOffset += filled - keep;
        filled = keep;
    }
    return -1;
}
