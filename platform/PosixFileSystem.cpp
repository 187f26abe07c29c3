#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileSystem.h"
#include "platform/Wildcard.h"

namespace {

class PosixListing : public DirListing {
  public:
    PosixListing(const std::string& folder, const std::string& mask)
        : dir_(opendir(systemPath(folder).c_str())), mask_(mask) {}
    ~PosixListing() override {
        if (dir_ != nullptr) {
            closedir(dir_);
        }
    }
    PosixListing(const PosixListing&) = delete;
    PosixListing& operator=(const PosixListing&) = delete;

    bool next(DirEntry& entry) override {
        if (dir_ == nullptr) {
            return false;
        }
        while (const dirent* raw = readdir(dir_)) {
            const std::string_view name(raw->d_name);
            if (!mask_.matches(name)) {
                continue;
            }
            entry.name.assign(name);
            unsigned char type = raw->d_type;
            if (type == DT_UNKNOWN) {
                type = typeByStat(raw->d_name);
            }
            entry.directory = type == DT_DIR;
            entry.symlink = type == DT_LNK;
            entry.hidden = name.size() > 1 && name[0] == '.' && name != "..";
            return true;
        }
        return false;
    }

  private:
    unsigned char typeByStat(const char* name) const {
        struct stat info {};
        if (fstatat(dirfd(dir_), name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
            return DT_UNKNOWN;
        }
        if (S_ISDIR(info.st_mode)) {
            return DT_DIR;
        }
        return S_ISLNK(info.st_mode) ? DT_LNK : DT_REG;
    }

    DIR* dir_;
    WildcardMask mask_;
};

class PosixFileSystem : public FileSystem {
  public:
    std::unique_ptr<DirListing> list(const std::string& folder, const std::string& mask) override {
        return std::make_unique<PosixListing>(folder, mask);
    }
    bool folderExists(const std::string& path) override {
        struct stat info {};
        return stat(systemPath(path).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }
    bool makeCurrent(const std::string& folder) override { return chdir(systemPath(folder).c_str()) == 0; }
};

PosixFileSystem& realFileSystem() {
    static PosixFileSystem instance;
    return instance;
}

FileSystem* installed = nullptr;

}  // namespace

std::string systemPath(const std::string& folder) {
    return folder.empty() ? std::string("/") : folder;
}

FileSystem& FileSystem::current() {
    return installed != nullptr ? *installed : realFileSystem();
}

void FileSystem::install(FileSystem* replacement) {
    installed = replacement;
}
