#include "TestSupport.h"

#include <fstream>
#include <stdexcept>

TempTree::TempTree() {
    std::string pattern = (std::filesystem::temp_directory_path() / "varnel-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    root_ = pattern;
    std::filesystem::permissions(
        root_, std::filesystem::perms::owner_all | std::filesystem::perms::group_read |
                   std::filesystem::perms::group_exec | std::filesystem::perms::others_read |
                   std::filesystem::perms::others_exec);
}

TempTree::~TempTree() {
    std::error_code ignored;
    std::filesystem::permissions(root_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(root_, ignored);
}

std::string TempTree::file(const std::string& relative, const std::string& bytes) {
    const std::string full = path(relative);
    std::filesystem::create_directories(std::filesystem::path(full).parent_path());
    std::ofstream(full, std::ios::binary) << bytes;
    return full;
}

std::string TempTree::folder(const std::string& relative) {
    const std::string full = path(relative);
    std::filesystem::create_directories(full);
    return full;
}

void asUnprivileged(const std::function<void()>& action) {
    constexpr uid_t kNobody = 65534;
    const bool root = geteuid() == 0;
    if (root && seteuid(kNobody) != 0) {
        throw std::runtime_error("seteuid failed");
    }
    try {
        action();
    } catch (...) {
        if (root && seteuid(0) != 0) {
            std::terminate();
        }
        throw;
    }
    if (root && seteuid(0) != 0) {
        std::terminate();
    }
}
