#include "matching/ContentMatch.h"

#include <sys/stat.h>

#include <cstring>
#include <memory>
#include <vector>

#include "matching/TextScanner.h"
#include "platform/EventPump.h"
#include "platform/InputFile.h"

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

std::string WinToDos(const std::string& text) {
    std::string dos = text;
    for (char& c : dos) {
        const auto code = static_cast<unsigned char>(c);
        if (code >= 0xC0 && code <= 0xEF) {
            c = static_cast<char>(code - 64);
        } else if (code >= 0xF0) {
            c = static_cast<char>(code - 16);
        } else if (code == 0xA8) {
            c = static_cast<char>(0xF0);
        } else if (code == 0xB8) {
            c = static_cast<char>(0xF1);
        }
    }
    return dos;
}

std::uint64_t QueryFileSize(const std::string& path) {
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return 0;
    }
    return static_cast<std::uint64_t>(info.st_size);
}

std::int64_t SearchFile(const std::string& path, const std::string& text, std::uint64_t startOffset) {
    if (text.empty()) {
        return -1;
    }
    const InputFile file(path);
    const std::uint64_t size = file.size();
    const std::size_t n = text.size();
    if (file.kind() != InputFile::Kind::Regular || startOffset >= size || size - startOffset < n) {
        return -1;
    }

    const TextScanner scanner(text);
    const BlockLease block;
    std::vector<char> ownBuffer;
    char* buffer = block.get();
    std::size_t capacity = kBlockSize;
    if (n > kBlockSize / 2) {
        ownBuffer.resize(2 * n);
        buffer = ownBuffer.data();
        capacity = ownBuffer.size();
    }

    // The buffer holds the last n - 1 bytes of the previous block before the new one, so a match across a
    // block boundary is seen whole.
    std::uint64_t bufferOffset = startOffset;
    std::uint64_t readOffset = startOffset;
    std::size_t filled = 0;
    while (readOffset < size) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(capacity - filled, size - readOffset));
        const std::size_t got = file.readAt(buffer + filled, want, readOffset);
        readOffset += got;
        filled += got;
        pumpEvents();
        const std::ptrdiff_t found = scanner.find(buffer, filled);
        if (found >= 0) {
            return static_cast<std::int64_t>(bufferOffset + static_cast<std::uint64_t>(found));
        }
        if (got < want) {
            break;  // the file shrank: search what was read
        }
        const std::size_t keep = std::min(n - 1, filled);
        std::memmove(buffer, buffer + filled - keep, keep);
        bufferOffset += filled - keep;
        filled = keep;
    }
    return -1;
}
