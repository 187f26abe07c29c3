#include "documents/ByteSource.h"

#include <algorithm>
#include <cstring>

#include "platform/files/InputFile.h"

std::uint64_t BytesInFile::size() const {
    return file_.size();
}

std::size_t BytesInFile::readAt(void* into, std::size_t length, std::uint64_t offset) const {
    return file_.readAt(into, length, offset);
}

std::size_t BytesInMemory::readAt(void* into, std::size_t length, std::uint64_t offset) const {
    if (offset >= size_ || length == 0) {
        return 0;  // and no copy to the null buffer of an empty vector
    }
    const std::size_t count = std::min<std::uint64_t>(length, size_ - offset);
    std::memcpy(into, data_ + offset, count);
    return count;
}
