#pragma once
// A zip read through libarchive by its central directory, so a member that is not wanted is never inflated.
// Members are inflated piece by piece within the limits on the bytes actually inflated (never the sizes the
// zip declares): per member, per document, and the ratio of inflated to read bytes.

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "documents/DocumentText.h"

class ByteSource;
struct archive;
struct archive_entry;

struct InflateLimits {
    std::uint64_t perMember = std::uint64_t{64} << 20;
    std::uint64_t perDocument = std::uint64_t{256} << 20;
    std::uint64_t ratio = 100;
    std::uint64_t ratioFrom = std::uint64_t{1} << 20;  // inflated bytes before the ratio is checked
};

class ZipArchive {
  public:
    // Throws DocumentUnreadable when libarchive cannot open it as a zip.
    ZipArchive(const ByteSource& bytes, const InflateLimits& limits);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // Moves to the next member that is a file; false after the last. Throws DocumentUnreadable.
    bool nextMember();
    const std::string& memberName() const { return memberName_; }
    // Inflates the current member into `piece`, a piece at a time, polling `cancelled` between pieces. Throws
    // DocumentUnreadable (damaged, encrypted, a limit reached) or DocumentReadCancelled.
    void readMember(const std::function<void(const char*, std::size_t)>& piece,
                    const DocumentCancel& cancelled);

  private:
    struct Callbacks;  // libarchive's read and seek, reaching bytes_ and the counts
    friend struct Callbacks;
    [[noreturn]] void fail();

    const ByteSource& bytes_;
    InflateLimits limits_;
    struct ArchiveFree {
        void operator()(archive* opened) const;
    };
    std::unique_ptr<archive, ArchiveFree> archive_;  // freed also when the constructor throws
    archive_entry* entry_ = nullptr;
    std::string memberName_;
    std::vector<char> block_;
    std::vector<char> inflated_;
    std::uint64_t position_ = 0;
    std::uint64_t bytesRead_ = 0;
    std::uint64_t bytesInflated_ = 0;
    std::exception_ptr readFailure_;  // a FileError from the callbacks, which must not cross libarchive's C
};
