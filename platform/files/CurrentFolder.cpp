#include "platform/files/CurrentFolder.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

std::string currentFolder() {
    std::string buffer(PATH_MAX, '\0');
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) {
            return ".";  // still a path that cannot read as an option
        }
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(buffer.find('\0'));
    return buffer;
}

std::string reachedFrom(const std::string& folder, const std::string& path) {
    if (!path.empty() && path[0] == '/') {
        return path;
    }
    return (folder == "/" ? std::string() : folder) + "/" + path;
}

CurrentFolderReturn::CurrentFolderReturn() : folder_(open(".", O_PATH | O_DIRECTORY | O_CLOEXEC)) {}

CurrentFolderReturn::~CurrentFolderReturn() {
    if (folder_ >= 0) {
        [[maybe_unused]] const int returned = fchdir(folder_);  // nothing better to do when it has gone
        close(folder_);
    }
}
