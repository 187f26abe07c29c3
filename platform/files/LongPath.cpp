#include "platform/files/LongPath.h"

#include <unistd.h>

#include <cerrno>
#include <climits>

namespace {

// The longest piece handed to the kernel: well under PATH_MAX, which counts the terminating zero.
constexpr std::size_t kLongestPiece = PATH_MAX - 96;

}  // namespace

PathAnchor::PathAnchor(const std::string& path, int from) : folder_(from) {
    std::size_t at = 0;
    while (path.size() - at > kLongestPiece) {
        const std::size_t cut = path.rfind('/', at + kLongestPiece);
        if (cut == std::string::npos || cut <= at) {
            folder_ = -1;  // a single name longer than any piece: no system could hold it
            error_ = ENAMETOOLONG;
            break;
        }
        // An absolute path's first piece keeps its leading "/", so it starts from the root.
        const std::string piece = path.substr(at, cut - at);
        const int next = openat(folder_, piece.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (owned_) {
            close(folder_);
        }
        if (next < 0) {
            folder_ = -1;
            owned_ = false;
            error_ = errno;
            break;
        }
        folder_ = next;
        owned_ = true;
        at = cut + 1;
    }
    rest_ = error_ != 0 ? std::string() : path.substr(at);
    if (rest_.empty() && at > 0) {
        rest_ = ".";  // the path ended in "/": it names the folder reached
    }
}

PathAnchor::~PathAnchor() {
    if (owned_) {
        close(folder_);
    }
}

int openPath(const std::string& path, int flags, int from) {
    const PathAnchor anchor(path, from);
    if (anchor.folder() == -1) {
        errno = anchor.error();
        return -1;
    }
    return openat(anchor.folder(), anchor.rest(), flags);
}

int statPath(const std::string& path, struct stat& info, int statFlags, int from) {
    const PathAnchor anchor(path, from);
    if (anchor.folder() == -1) {
        errno = anchor.error();
        return -1;
    }
    return fstatat(anchor.folder(), anchor.rest(), &info, statFlags);
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return statPath(path, info) == 0 && S_ISDIR(info.st_mode);
}
