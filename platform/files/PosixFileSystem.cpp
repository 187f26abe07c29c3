#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <iterator>

#include "platform/files/FileError.h"
#include "platform/files/FileSystem.h"
#include "platform/files/LongPath.h"
#include "platform/files/Wildcard.h"

namespace {

// The kernel's directory record, read with getdents64: one system call fills a buffer with many entries and
// nothing is allocated per folder.
struct LinuxDirent {
    std::uint64_t inode;
    std::int64_t offset;
    unsigned short length;
    unsigned char type;
    char name[1];
};

constexpr std::size_t kListingBuffer = 32 * 1024;

// File systems whose every listing is a round trip to a server (statfs's f_type): NFS, SMB, SMB2, CIFS, FUSE
// (sshfs and the like), Ceph, 9P, AFS, Coda.
constexpr std::uint32_t kRemoteFileSystems[] = {0x6969,     0x517B,     0xFE534D42, 0xFF534D42, 0x65735546,
                                                0x00C36400, 0x01021997, 0x5346414F, 0x73757245};
// Listings read at once on such a file system: the readers mostly wait for the server, whose queue they keep
// busy, and weigh little beside the window's thread.
constexpr unsigned kRemoteReaders = 8;

// The buffer of the last listing on this thread, kept for the next: a walk lists folders one after another.
thread_local std::unique_ptr<char[]> spareBuffer;

DirEntry::Type typeOf(unsigned char direntType) {
    switch (direntType) {
        case DT_DIR:
            return DirEntry::Type::Folder;
        case DT_REG:
            return DirEntry::Type::File;
        case DT_LNK:
            return DirEntry::Type::Link;
        default:
            return DirEntry::Type::Other;
    }
}

class PosixFolder : public Folder {
  public:
    PosixFolder(const std::string& path, int from, int flags)
        : fd_(openPath(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC | flags, from)),
          error_(fd_ < 0 ? errno : 0) {}
    ~PosixFolder() override {
        if (fd_ >= 0) {
            close(fd_);
        }
    }
    PosixFolder(const PosixFolder&) = delete;
    PosixFolder& operator=(const PosixFolder&) = delete;

    int error() const override { return error_; }
    std::unique_ptr<DirListing> list(const std::string& mask) override;
    std::unique_ptr<Folder> openBelow(const std::string& relative) override {
        if (fd_ < 0) {
            return std::make_unique<PosixFolder>(error_);
        }
        return std::make_unique<PosixFolder>(relative, fd_, O_NOFOLLOW);
    }
    std::unique_ptr<InputFile> openFile(const std::string& name, const std::string& path,
                                        InputFile::Listed listed) override {
        if (fd_ < 0) {
            throw FileError(kCannotOpenFile, path, error_);
        }
        return std::make_unique<InputFile>(fd_, name, path, listed);
    }

    explicit PosixFolder(int error) : error_(error) {}

    int fd() const { return fd_; }
    void failed(int error) { error_ = error; }
    // Back to the first entry; a folder opened just now is there already.
    bool rewind() {
        const bool ready = !listed_ || lseek(fd_, 0, SEEK_SET) == 0;
        listed_ = true;
        return ready;
    }

  private:
    int fd_ = -1;
    int error_ = 0;
    bool listed_ = false;
};

class PosixListing : public DirListing {
  public:
    PosixListing(PosixFolder& folder, const std::string& mask)
        : folder_(folder),
          mask_(mask),
          buffer_(spareBuffer ? std::move(spareBuffer) : std::make_unique<char[]>(kListingBuffer)) {
        if (folder.fd() < 0 || !folder.rewind()) {
            done_ = true;
        }
    }

    ~PosixListing() override { spareBuffer = std::move(buffer_); }
    PosixListing(const PosixListing&) = delete;
    PosixListing& operator=(const PosixListing&) = delete;

    bool next(DirEntry& entry) override {
        while (!done_) {
            if (at_ == filled_ && !refill()) {
                return false;
            }
            const auto* raw = reinterpret_cast<const LinuxDirent*>(buffer_.get() + at_);
            at_ += raw->length;
            const std::string_view name(raw->name);
            if (!mask_.matches(name)) {
                continue;
            }
            entry.name.assign(name);
            entry.type = raw->type == DT_UNKNOWN ? typeByStat(raw->name) : typeOf(raw->type);
            entry.hidden = name.size() > 1 && name[0] == '.' && name != "..";
            return true;
        }
        return false;
    }

  private:
    bool refill() {
        long got;
        do {
            got = syscall(SYS_getdents64, folder_.fd(), buffer_.get(), kListingBuffer);
        } while (got < 0 && errno == EINTR);
        if (got <= 0) {
            if (got < 0) {
                folder_.failed(errno);
            }
            done_ = true;
            return false;
        }
        filled_ = static_cast<std::size_t>(got);
        at_ = 0;
        return true;
    }

    DirEntry::Type typeByStat(const char* name) const {
        struct stat info {};
        if (fstatat(folder_.fd(), name, &info, AT_SYMLINK_NOFOLLOW) != 0) {
            return DirEntry::Type::Other;
        }
        if (S_ISDIR(info.st_mode)) {
            return DirEntry::Type::Folder;
        }
        if (S_ISREG(info.st_mode)) {
            return DirEntry::Type::File;
        }
        return S_ISLNK(info.st_mode) ? DirEntry::Type::Link : DirEntry::Type::Other;
    }

    PosixFolder& folder_;
    WildcardMask mask_;
    std::unique_ptr<char[]> buffer_;
    std::size_t at_ = 0;
    std::size_t filled_ = 0;
    bool done_ = false;
};

std::unique_ptr<DirListing> PosixFolder::list(const std::string& mask) {
    return std::make_unique<PosixListing>(*this, mask);
}

class PosixFileSystem : public FileSystem {
  public:
    std::unique_ptr<Folder> openFolder(const std::string& path) override {
        return std::make_unique<PosixFolder>(systemPath(path), AT_FDCWD, 0);
    }
    bool makeCurrent(const std::string& folder) override {
        const int fd = openPath(systemPath(folder), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            return false;
        }
        const bool changed = fchdir(fd) == 0;
        close(fd);
        return changed;
    }
    unsigned listingReaders(const std::string& folder) const override {
        struct statfs info {};
        if (statfs(systemPath(folder).c_str(), &info) != 0) {
            return 0;
        }
        const auto type = static_cast<std::uint32_t>(info.f_type);
        return std::find(std::begin(kRemoteFileSystems), std::end(kRemoteFileSystems), type) !=
                       std::end(kRemoteFileSystems)
                   ? kRemoteReaders
                   : 0;
    }
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
