#include "documents/package/CentralDirectory.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "documents/ByteSource.h"

namespace {

constexpr std::size_t kEndRecordSize = 22;
constexpr std::size_t kLongestComment = 0xFFFF;
constexpr std::size_t kEntryHeaderSize = 46;
// A directory past this size lists more members than any limit we allow, or is not a directory.
constexpr std::uint64_t kLargestDirectory = 16u << 20;

std::uint64_t le(const unsigned char* p, int bytes) {
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = (value << 8) | p[i];
    }
    return value;
}

std::vector<unsigned char> readRange(const ByteSource& bytes, std::uint64_t offset, std::size_t length) {
    std::vector<unsigned char> out(length);
    out.resize(bytes.readAt(out.data(), length, offset));
    return out;
}

struct DirectoryPlace {
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};

// Finds the directory the way readers do: its size counted back from the end record, which also allows for
// bytes put in front of the zip.
std::optional<DirectoryPlace> findDirectory(const ByteSource& bytes) {
    const std::uint64_t fileSize = bytes.size();
    if (fileSize < kEndRecordSize) {
        return std::nullopt;
    }
    const std::uint64_t tailStart =
        fileSize - std::min<std::uint64_t>(fileSize, kEndRecordSize + kLongestComment);
    const std::vector<unsigned char> tail = readRange(bytes, tailStart, fileSize - tailStart);
    if (tail.size() < kEndRecordSize) {
        return std::nullopt;
    }
    for (std::size_t at = tail.size() - kEndRecordSize + 1; at-- > 0;) {
        const unsigned char* record = tail.data() + at;
        if (std::memcmp(record, "PK\5\6", 4) != 0) {
            continue;
        }
        const std::uint64_t endRecord = tailStart + at;
        std::uint64_t size = le(record + 12, 4);
        std::uint64_t recordStart = endRecord;
        if (size == 0xFFFFFFFF && endRecord >= 20) {  // a Zip64 end record, found through its locator
            const auto locator = readRange(bytes, endRecord - 20, 20);
            if (locator.size() == 20 && std::memcmp(locator.data(), "PK\6\7", 4) == 0) {
                const std::uint64_t zip64End = le(locator.data() + 8, 8);
                const auto end64 = readRange(bytes, zip64End, 56);
                if (end64.size() == 56 && std::memcmp(end64.data(), "PK\6\6", 4) == 0) {
                    size = le(end64.data() + 40, 8);
                    recordStart = zip64End;
                }
            }
        }
        if (size > recordStart) {
            return std::nullopt;
        }
        return DirectoryPlace{recordStart - size, size};
    }
    return std::nullopt;
}

}  // namespace

std::optional<MemberList> listZipMembers(const ByteSource& bytes, std::size_t limit) {
    const auto place = findDirectory(bytes);
    if (!place) {
        return std::nullopt;
    }
    MemberList list;
    if (place->size > kLargestDirectory) {
        list.overLimit = true;
        return list;
    }
    const std::vector<unsigned char> directory = readRange(bytes, place->offset, place->size);
    std::size_t at = 0;
    while (at + kEntryHeaderSize <= directory.size() && std::memcmp(&directory[at], "PK\1\2", 4) == 0) {
        if (list.names.size() == limit) {
            list.overLimit = true;
            break;
        }
        const unsigned char* entry = &directory[at];
        const std::size_t nameLength = le(entry + 28, 2);
        const std::size_t rest = nameLength + le(entry + 30, 2) + le(entry + 32, 2);
        if (at + kEntryHeaderSize + nameLength > directory.size()) {
            return std::nullopt;
        }
        list.names.emplace_back(reinterpret_cast<const char*>(entry + kEntryHeaderSize), nameLength);
        at += kEntryHeaderSize + rest;
    }
    if (list.names.empty() && !list.overLimit) {
        return std::nullopt;
    }
    return list;
}
