#include "settings/SettingsFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>

#include "platform/files/FileError.h"
#include "platform/files/InputFile.h"

namespace {

const char* const kCannotSaveFile = "Не удалось сохранить файл";

// A line longer than the longest path the system accepts cannot name a file, so no more of it is kept.
constexpr std::size_t kLongestKeptLine = PATH_MAX;
constexpr std::size_t kBlockSize = 64 * 1024;

// Reads the file line by line, keeping at most kLongestKeptLine + 1 bytes of each.
class LineReader {
  public:
    explicit LineReader(const InputFile& file) : file_(file) {}

    // The next line without its LF or CR LF; empty at the end of the file.
    std::string next() {
        std::string line;
        bool ended = false;
        while (!ended && fill()) {
            const char* begin = block_.data() + at_;
            const char* end = block_.data() + block_.size();
            const char* newline = std::find(begin, end, '\n');
            const std::size_t take =
                std::min<std::size_t>(newline - begin, kLongestKeptLine + 1 - line.size());
            line.append(begin, take);
            ended = newline != end;
            at_ = static_cast<std::size_t>(newline - block_.data()) + (ended ? 1 : 0);
        }
        if (ended && !line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        return line;
    }

  private:
    bool fill() {
        if (at_ < block_.size()) {
            return true;
        }
        block_.resize(kBlockSize);
        const std::size_t got = file_.readAt(block_.data(), block_.size(), offset_);
        block_.resize(got);
        offset_ += got;
        at_ = 0;
        return got > 0;
    }

    const InputFile& file_;
    std::string block_;
    std::size_t at_ = 0;
    std::uint64_t offset_ = 0;
};

bool namesFile(const std::string& path) {
    struct stat found {};
    // A NUL byte would cut the name the system is asked about short.
    return !path.empty() && path.size() <= kLongestKeptLine && path.find('\0') == std::string::npos &&
           stat(path.c_str(), &found) == 0 && !S_ISDIR(found.st_mode);
}

// Writes every byte; the reason of the failure, or 0.
int writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
        if (wrote < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        done += static_cast<std::size_t>(wrote);
    }
    return 0;
}

// Whether `file` holds these two paths as the load would read them; a missing file holds two empty lines, and
// one that cannot be read holds nothing.
bool holds(const std::string& file, const std::string& textViewer, const std::string& graphicsViewer) {
    try {
        const InputFile input(file);
        if (input.kind() != InputFile::Kind::Regular) {
            return textViewer.empty() && graphicsViewer.empty();
        }
        LineReader lines(input);
        return lines.next() == textViewer && lines.next() == graphicsViewer;
    } catch (const FileError&) {
        return false;
    }
}

// Creates the folders above `file` that are missing, private to the user as configuration folders are.
void makeFoldersAbove(const std::string& file) {
    for (std::size_t slash = file.find('/', 1); slash != std::string::npos;
         slash = file.find('/', slash + 1)) {
        if (mkdir(file.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST) {
            throw FileError(kCannotSaveFile, file, errno);
        }
    }
}

// A new file beside `file`, open for writing; its folder is created when it is missing.
int createBeside(const std::string& file, std::string& fresh) {
    fresh = file + ".XXXXXX";
    int fd = mkostemp(fresh.data(), O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        makeFoldersAbove(file);
        fresh = file + ".XXXXXX";
        fd = mkostemp(fresh.data(), O_CLOEXEC);
    }
    if (fd < 0) {
        throw FileError(kCannotSaveFile, file, errno);
    }
    return fd;
}

mode_t newFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

void loadViewerPaths(const std::string& file,
                     const std::function<void(ViewerRow, const std::string&)>& load) {
    const InputFile input(file);
    if (input.kind() != InputFile::Kind::Regular) {
        return;
    }
    LineReader lines(input);
    for (const ViewerRow row : {ViewerRow::Text, ViewerRow::Graphics}) {
        const std::string line = lines.next();
        if (namesFile(line)) {
            load(row, line);
        }
    }
}

void saveViewerPaths(const std::string& file, const std::string& textViewer,
                     const std::string& graphicsViewer) {
    if (holds(file, textViewer, graphicsViewer)) {
        return;
    }
    std::string fresh;
    const int fd = createBeside(file, fresh);
    int reason = fchmod(fd, newFileMode()) != 0 ? errno : 0;
    if (reason == 0) {
        reason = writeAll(fd, textViewer + "\r\n" + graphicsViewer + "\r\n");
    }
    if (reason == 0 && fsync(fd) != 0) {
        reason = errno;
    }
    if (close(fd) != 0 && reason == 0) {
        reason = errno;
    }
    if (reason == 0 && std::rename(fresh.c_str(), file.c_str()) != 0) {
        reason = errno;
    }
    if (reason != 0) {
        unlink(fresh.c_str());
        throw FileError(kCannotSaveFile, file, reason);
    }
}
