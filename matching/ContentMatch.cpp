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

// The one block buffer, reused by every call; a text longer than a block gets a buffer of its own for that
// call.
char* sharedBlock() {
    static const std::unique_ptr<char[]> block(new char[kBlockSize]);
    return block.get();
}

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
    std::vector<char> ownBuffer;
    char* buffer = sharedBlock();
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
