#pragma once
// A file opened for reading, for one operation. Only a regular file is ever opened: a FIFO would block the
// window and a device may act on being opened, so anything else is only looked at. Paths of any length are
// reached (see LongPath.h). Closed when destroyed.

#include <cstddef>
#include <cstdint>
#include <string>

class InputFile {
  public:
    enum class Kind { Regular, Missing, Folder, Other };
    // What the caller already knows of the path: a listing that reported a regular file (not a link) saves
    // the look before opening.
    enum class Listed { Unknown, AsRegularFile };

    // Looks at the path (links followed) and opens it when it names a regular file. Throws FileError when a
    // regular file cannot be opened.
    explicit InputFile(const std::string& path, Listed listed = Listed::Unknown);
    // The same for the entry `name` of the open folder `folder` (a descriptor), so the file is reached
    // without looking its path up again, however deep it lies or wherever its folder has moved; `path` is
    // the name the file is known by in messages.
    InputFile(int folder, const std::string& name, const std::string& path, Listed listed);
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    Kind kind() const { return kind_; }
    // Why the path names no file, when kind() is Missing.
    int missingReason() const { return missingReason_; }
    // Missing because the entry itself is gone from its folder (not a symbolic link that points nowhere).
    bool vanished() const { return vanished_; }
    std::uint64_t size() const { return size_; }
    // The open file's descriptor (-1 unless kind() is Regular), for a reader that must reach the file by
    // another way than its path.
    int descriptor() const { return fd_; }

    // Reads up to `length` bytes at `offset`, retrying interrupted and partial reads: fewer only at the end
    // of the file. Throws FileError.
    std::size_t readAt(void* into, std::size_t length, std::uint64_t offset) const;
    // Tells the system the file will be read through from the start.
    void willReadSequentially() const;
    // Tells the system the file will be read block by block with other work between the blocks, so each read
    // must cost about the same: no read-ahead (over a sparse file's holes it fills megabytes of zeros within
    // one read), and a block that lies wholly in a hole is not read at all but given as zeros (gigabytes of
    // made-up zeros would push real data out of the cache, and allocating and reclaiming them stalls the
    // reads).
    void willReadInSteps() const;

  private:
    std::string path_;
    int fd_ = -1;
    Kind kind_ = Kind::Missing;
    int missingReason_ = 0;
    bool vanished_ = false;
    std::uint64_t size_ = 0;
    mutable bool inSteps_ = false;
};

// What the program says when a file cannot be opened or read.
extern const char* const kCannotOpenFile;
extern const char* const kCannotReadFile;
