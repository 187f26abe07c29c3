#pragma once
// The result lines of a run, stored compactly: each path's bytes and a terminating zero in shared blocks,
// and one offset per line. A run with hundreds of thousands of matches costs little beyond the bytes
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
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::string_view at(std::size_t row) const;
    void clear();

  private:
    void addOffset(std::uint64_t offset);

    // Blocks small enough to come from the heap, where the run's freed folder names are reused.
    static constexpr unsigned kBlockShift = 16;
    static constexpr std::size_t kBlockBytes = std::size_t{1} << kBlockShift;
    static constexpr unsigned kOffsetsShift = 16;
    static constexpr std::size_t kOffsetsPerBlock = std::size_t{1} << kOffsetsShift;

    // Where a line starts: its block's number times kBlockBytes plus its place in the block. A line longer
    // than a block gets a block of its own, as big as it needs. The offsets, too, are kept in fixed blocks,
    // so the list never grows by copying itself.
    std::vector<std::unique_ptr<std::uint64_t[]>> offsets_;
    std::size_t size_ = 0;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::size_t used_ = kBlockBytes;  // bytes used in the last block; full before the first line
};

// The lines as strings, in order (tests, small lists).
std::vector<std::string> toStrings(const FoundLines& lines);
