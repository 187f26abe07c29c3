#pragma once
// Paths of any length. The kernel refuses a path of PATH_MAX bytes or more in one call, so such a path is
// reached a piece at a time: each piece, short enough for one call, is opened relative to the folder the
// piece before it reached. Every place that opens or looks at a file by its path goes through here.

#include <fcntl.h>
#include <sys/stat.h>

#include <string>

class PathAnchor {
  public:
    // Reaches the folders of `path` (relative to the folder `from`) until what is left fits one call. A short
    // path is left whole, relative to `from` itself.
    explicit PathAnchor(const std::string& path, int from = AT_FDCWD);
    ~PathAnchor();
    PathAnchor(const PathAnchor&) = delete;
    PathAnchor& operator=(const PathAnchor&) = delete;

    // The folder to work from in *at calls; -1 when a folder on the way could not be opened (see error()).
    int folder() const { return folder_; }
    // The rest of the path below folder().
    const char* rest() const { return rest_.c_str(); }
    int error() const { return error_; }

  private:
    int folder_ = AT_FDCWD;
    bool owned_ = false;
    std::string rest_;
    int error_ = 0;
};

// open(2) and stat(2) for a path of any length, relative to the folder `from`; -1 with errno on failure.
int openPath(const std::string& path, int flags, int from = AT_FDCWD);
int statPath(const std::string& path, struct stat& info, int statFlags = 0, int from = AT_FDCWD);

// The path names an existing folder, symbolic links followed (the folder test of the actions on a result).
bool isFolder(const std::string& path);
