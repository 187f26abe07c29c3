#include "chooser/MountList.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>

namespace {

// Kernel and runtime file systems that hold no user files.
constexpr std::array<std::string_view, 23> kPseudoTypes = {
    "proc",     "sysfs",      "cgroup",    "cgroup2",     "devpts",      "devtmpfs",
    "mqueue",   "debugfs",    "tracefs",   "securityfs",  "pstore",      "bpf",
    "autofs",   "fusectl",    "configfs",  "hugetlbfs",   "binfmt_misc", "nsfs",
    "efivarfs", "rpc_pipefs", "selinuxfs", "fuse.portal", "ramfs"};

bool isPseudo(std::string_view type) {
    return std::find(kPseudoTypes.begin(), kPseudoTypes.end(), type) != kPseudoTypes.end();
}

bool isAtOrBelow(std::string_view path, std::string_view folder) {
    if (path.substr(0, folder.size()) != folder) {
        return false;
    }
    return path.size() == folder.size() || folder == "/" || path[folder.size()] == '/';
}

bool insideSystemFolders(std::string_view mountPoint) {
    return isAtOrBelow(mountPoint, "/proc") || isAtOrBelow(mountPoint, "/sys") ||
           isAtOrBelow(mountPoint, "/dev");
}

bool isOctal(char c) {
    return c >= '0' && c <= '7';
}

// The kernel writes space, tab, newline and backslash in a mount point as "\ooo".
std::string decodeEscapes(std::string_view field) {
    std::string decoded;
    decoded.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) && isOctal(field[i + 2]) &&
            isOctal(field[i + 3])) {
            decoded += static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                                         (field[i + 3] - '0'));
            i += 3;
        } else {
            decoded += field[i];
        }
    }
    return decoded;
}

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> result;
    std::size_t pos = 0;
    while (pos < line.size()) {
        const std::size_t start = line.find_first_not_of(' ', pos);
        if (start == std::string_view::npos) {
            break;
        }
        const std::size_t end = std::min(line.find(' ', start), line.size());
        result.push_back(line.substr(start, end - start));
        pos = end;
    }
    return result;
}

// A mountinfo line: ID PARENT MAJOR:MINOR ROOT MOUNT-POINT OPTIONS [OPTIONAL...] - TYPE SOURCE SUPER-OPTIONS.
bool mountOfLine(std::string_view line, std::string& mountPoint, std::string_view& type) {
    const std::vector<std::string_view> parts = fields(line);
    if (parts.size() < 7) {
        return false;
    }
    const auto separator = std::find(parts.begin() + 6, parts.end(), "-");
    if (separator == parts.end() || separator + 1 == parts.end()) {
        return false;
    }
    mountPoint = decodeEscapes(parts[4]);
    type = *(separator + 1);
    return !mountPoint.empty() && mountPoint[0] == '/';
}

bool wanted(const std::string& mountPoint, std::string_view type) {
    if (isPseudo(type) || insideSystemFolders(mountPoint)) {
        return false;
    }
    return !(type == "tmpfs" && isAtOrBelow(mountPoint, "/run"));
}

std::string readWhole(const char* path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

bool isFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

std::vector<std::string> parseMountInfo(std::string_view mountInfo) {
    std::vector<std::string> others;
    std::size_t pos = 0;
    while (pos < mountInfo.size()) {
        const std::size_t end = std::min(mountInfo.find('\n', pos), mountInfo.size());
        std::string mountPoint;
        std::string_view type;
        if (mountOfLine(mountInfo.substr(pos, end - pos), mountPoint, type) && mountPoint != "/" &&
            wanted(mountPoint, type)) {
            others.push_back(std::move(mountPoint));
        }
        pos = end + 1;
    }
    std::sort(others.begin(), others.end());
    others.erase(std::unique(others.begin(), others.end()), others.end());
    others.insert(others.begin(), "/");
    return others;
}

std::vector<std::string> mountedRoots() {
    std::vector<std::string> roots = parseMountInfo(readWhole("/proc/self/mountinfo"));
    roots.erase(std::remove_if(roots.begin() + 1, roots.end(),
                               [](const std::string& root) { return !isFolder(root); }),
                roots.end());
    return roots;
}

std::string rootHolding(const std::vector<std::string>& roots, const std::string& folder) {
    std::string best = "/";
    for (const std::string& root : roots) {
        if (root.size() > best.size() && isAtOrBelow(folder, root)) {
            best = root;
        }
    }
    return best;
}
