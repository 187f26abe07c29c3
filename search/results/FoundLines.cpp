#include "search/results/FoundLines.h"

#include <cstring>
#include <stdexcept>

void FoundLines::addOffset(std::uint64_t offset) {
    if ((size_ & (kOffsetsPerBlock - 1)) == 0) {
        offsets_.emplace_back(new std::uint64_t[kOffsetsPerBlock]);
    }
    offsets_.back()[size_ & (kOffsetsPerBlock - 1)] = offset;
    ++size_;
}

void FoundLines::append(std::string_view line) {
    const std::size_t needed = line.size() + 1;
    if (needed > kBlockBytes) {
        blocks_.emplace_back(new char[needed]);
        std::memcpy(blocks_.back().get(), line.data(), line.size());
        blocks_.back()[line.size()] = '\0';
        addOffset(static_cast<std::uint64_t>(blocks_.size() - 1) << kBlockShift);
        used_ = kBlockBytes;  // the next line starts a block of the usual size
        return;
    }
    if (kBlockBytes - used_ < needed) {
        blocks_.emplace_back(new char[kBlockBytes]);
        used_ = 0;
    }
    char* at = blocks_.back().get() + used_;
    std::memcpy(at, line.data(), line.size());
    at[line.size()] = '\0';
    addOffset((static_cast<std::uint64_t>(blocks_.size() - 1) << kBlockShift) | used_);
    used_ += needed;
}

std::string_view FoundLines::at(std::size_t row) const {
    if (row >= size_) {
        throw std::out_of_range("FoundLines::at");
    }
    const std::uint64_t offset = offsets_[row >> kOffsetsShift][row & (kOffsetsPerBlock - 1)];
    return blocks_[offset >> kBlockShift].get() + (offset & (kBlockBytes - 1));
}

void FoundLines::clear() {
    *this = FoundLines();
}

std::vector<std::string> toStrings(const FoundLines& lines) {
    std::vector<std::string> strings;
    for (std::size_t row = 0; row < lines.size(); ++row) {
        strings.emplace_back(lines.at(row));
    }
    return strings;
}
