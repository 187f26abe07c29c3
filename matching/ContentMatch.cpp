#include "matching/ContentMatch.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "matching/TextScanner.h"
#include "platform/EventPump.h"
#include "platform/files/InputFile.h"
#include "platform/files/LongPath.h"

namespace {

constexpr std::size_t kBlockSize = 256 * 1024;

// Block buffers are kept for the next search: a fresh 256 KiB allocation for each of thousands of small files
// would cost more than reading them. A search started while another pumps events (the viewer's search during
// a run) takes a buffer of its own, so neither sees the other's bytes.
class BlockLease {
  public:
    BlockLease() {
        if (spare().empty()) {
            block_.reset(new char[kBlockSize]);
        } else {
            block_ = std::move(spare().back());
            spare().pop_back();
        }
    }
    ~BlockLease() { spare().push_back(std::move(block_)); }
    BlockLease(const BlockLease&) = delete;
    BlockLease& operator=(const BlockLease&) = delete;

    char* get() const { return block_.get(); }

  private:
    static std::vector<std::unique_ptr<char[]>>& spare() {
        static std::vector<std::unique_ptr<char[]>> blocks;
        return blocks;
    }

    std::unique_ptr<char[]> block_;
};

}  // namespace

std::uint64_t QueryFileSize(const std::string& path) {
    struct stat info {};
    if (path.empty() || statPath(path, info) != 0 || !S_ISREG(info.st_mode)) {
        return 0;
    }
    return static_cast<std::uint64_t>(info.st_size);
}

namespace {

// How the file is read: with the system's read-ahead, or block by block, so that the time between two blocks
// (and so between two event pumps) stays short.
enum class ReadAhead { Sequential, None };

// The search loop of SearchFile and FileSearch: `afterBlock` runs after every block read, with the bytes in
// the buffer, and returns false to abandon the search.
template <typename AfterBlock>
std::int64_t searchOpenFile(const InputFile& file, const TextScanner& scanner, std::uint64_t startOffset,
                            char* block, ReadAhead readAhead, AfterBlock afterBlock) {
    const std::uint64_t size = file.size();
    if (file.kind() != InputFile::Kind::Regular || startOffset >= size ||
        size - startOffset < scanner.shortest()) {
        return -1;
    }
    const std::size_t n = scanner.longest();
    std::vector<char> ownBuffer;
    char* buffer = block;
    std::size_t capacity = kBlockSize;
    if (n > kBlockSize / 2) {
        ownBuffer.resize(2 * n);
        buffer = ownBuffer.data();
        capacity = ownBuffer.size();
    }
    if (readAhead == ReadAhead::None) {
        file.willReadInSteps();
    } else if (size - startOffset > capacity) {
        file.willReadSequentially();
    }

    // The buffer holds the last n - 1 bytes of the previous block before the new one, so a match across a
    // block boundary is seen whole. Before the file's end, only the starts whose longest match fits in the
    // buffer are looked at: the others come again with the next block, so the smallest start is found even
    // when one form's match there runs past the buffer and another's later one does not.
    std::uint64_t bufferOffset = startOffset;
    std::uint64_t readOffset = startOffset;
    std::size_t filled = 0;
    while (readOffset < size) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(capacity - filled, size - readOffset));
        const std::size_t got = file.readAt(buffer + filled, want, readOffset);
        readOffset += got;
        filled += got;
        if (!afterBlock(buffer, filled)) {
            return kSearchAbandoned;
        }
        const bool last = got < want || readOffset >= size;  // less than asked: the file shrank
        const std::size_t starts = last ? filled : filled - std::min(n - 1, filled);
        const std::ptrdiff_t found = scanner.find(buffer, filled, starts);
        if (found >= 0) {
            return static_cast<std::int64_t>(bufferOffset + static_cast<std::uint64_t>(found));
        }
        if (got < want) {
            break;  // the file shrank: search what was read
        }
        const std::size_t keep = filled - starts;
        std::memmove(buffer, buffer + filled - keep, keep);
        bufferOffset += filled - keep;
        filled = keep;
    }
    return -1;
}

}  // namespace

std::int64_t SearchFile(const std::string& path, const SearchText& text, std::uint64_t startOffset) {
    return SearchFile(path, text, startOffset, [] { return true; });
}

std::int64_t SearchFile(const std::string& path, const SearchText& text, std::uint64_t startOffset,
                        const std::function<bool()>& goOn) {
    if (!text.findable()) {
        return -1;
    }
    const InputFile file(path);
    const BlockLease block;
    return searchOpenFile(file, text.scanner(), startOffset, block.get(), ReadAhead::None,
                          [&goOn](const char*, std::size_t) {
                              pumpEvents();
                              return goOn();
                          });
}

FileSearch::FileSearch(std::shared_ptr<const SearchText> text)
    : text_(std::move(text)), block_(new char[kBlockSize]) {}

FileSearch::~FileSearch() = default;

FileSearch::Outcome FileSearch::find(const InputFile& file, const std::atomic<bool>& stop) {
    head_.clear();
    if (!text_->findable()) {
        return Outcome::NotFound;
    }
    const std::int64_t found =
        searchOpenFile(file, text_->scanner(), 0, block_.get(), ReadAhead::Sequential,
                       [&](const char* bytes, std::size_t filled) {
                           if (head_.empty()) {  // the first block read: the file's first bytes
                               head_.assign(bytes, std::min(filled, kHeadBytes));
                           }
                           return !stop.load(std::memory_order_relaxed);
                       });
    return found == kSearchAbandoned ? Outcome::Abandoned : found >= 0 ? Outcome::Found : Outcome::NotFound;
}
