#pragma once
// The result lines of a run, stored compactly: each path's bytes and a terminating zero in large shared
// blocks, and one offset per line. A run with hundreds of thousands of matches costs little beyond the bytes
// of its paths, and the whole list moves to the window without being copied.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class FoundLines {
  public:
    FoundLines() = default;
    FoundLines(FoundLines&&) noexcept = default;
    FoundLines& operator=(FoundLines&&) noexcept = default;
    FoundLines(const FoundLines&) = delete;
    FoundLines& operator=(const FoundLines&) = delete;

    void append(std::string_view line);
    std::size_t size() const { return offsets_.size(); }
    bool empty() const { return offsets_.empty(); }
    std::string_view at(std::size_t row) const;
    void clear();

  private:
    static constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
    static constexpr unsigned kBlockShift = 20;

    // Where a line starts: its block's number times kBlockBytes plus its place in the block. A line longer
    // than a block gets a block of its own, as big as it needs.
    std::vector<std::uint64_t> offsets_;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t used_ = kBlockBytes;  // bytes used in the last block; full before the first line
};

// The lines as strings, in order (tests, small lists).
std::vector<std::string> toStrings(const FoundLines& lines);
