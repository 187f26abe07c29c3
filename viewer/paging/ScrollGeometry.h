#pragma once
// Page arithmetic of the paged display: how many lines a page holds, the scroll bar's range, and which file
// offset a scroll position shows. Offsets are 64-bit, so any file pages to its last byte.

#include <cstddef>
#include <cstdint>

// Both buffers of the viewer, and the size from which a file is paged instead of shown whole.
constexpr std::size_t kPageBufferBytes = 64000;
constexpr std::uint64_t kWholeTextLimit = 64000;
// One scroll step covers one hex line of 16 bytes, more in a file too large for the scroll bar's range; a
// text page line stands for 64 bytes.
constexpr std::uint64_t kLineBytes = 16;
constexpr int kTextBytesPerPageLine = 64;

// Lines per page for a memo of that height: (height div 10) * 60 div 100 - 1, the memo's font counting as 10
// points. At least one line, and never so many that a text page would overflow the page buffer.
int linesPerPage(int memoHeight);

// The scroll range that SetupPaging gives the scroll bar for a file of `fileSize` bytes.
struct ScrollRange {
    int maximum = 1;
    int largeChange = 1;
    bool enabled = false;
    // Lines moved by one scroll step: 1 unless the file has more lines than the scroll bar has positions.
    std::int64_t linesPerStep = 1;
    // The first line of the last page; the last position shows it, so the file's last bytes are in view.
    std::int64_t lastStartLine = 0;
};
ScrollRange scrollRange(std::uint64_t fileSize, int linesPerPage);

// The offset of the first byte of the page a position shows; positions 0 and 1 both show the start.
std::uint64_t pageOffsetAt(const ScrollRange& range, int position);

// The position whose page starts on the line before `line` (so `line` is the page's second line), limited to
// the range.
int positionBefore(const ScrollRange& range, std::uint64_t line);

// The navigation keys and the wheel, on the scroll position.
enum class Step { Up, Down, Home, End, PageUp, PageDown };
int positionAfter(Step step, int position, int maximum, int linesPerPage);
