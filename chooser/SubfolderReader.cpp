#include "chooser/SubfolderReader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>

#include "platform/files/FileError.h"

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

bool isFolderEntry(DIR* dir, const dirent& entry) {
    if (entry.d_type == DT_DIR) {
        return true;
    }
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) {
        return false;
    }
    struct stat info {};
    return fstatat(dirfd(dir), entry.d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
}

class PosixSubfolderReader : public SubfolderReader {
  public:
    std::vector<std::string> read(const std::string& folder) override {
        const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
        if (!dir) {
            throw FileError("Не удалось открыть папку", folder, errno);
        }
        std::vector<std::string> names;
        errno = 0;
        while (const dirent* entry = readdir(dir.get())) {
            const std::string_view name(entry->d_name);
            if (name != "." && name != ".." && isFolderEntry(dir.get(), *entry)) {
                names.emplace_back(name);
            }
            errno = 0;
        }
        if (errno != 0) {
            throw FileError("Не удалось прочитать папку", folder, errno);
        }
        return names;
    }
};

}  // namespace

SubfolderReader& systemSubfolderReader() {
    static PosixSubfolderReader instance;
    return instance;
}
