#include "viewer/paging/ScrollGeometry.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int kMemoFontPoints = 10;
constexpr int kMaxLinesPerPage = static_cast<int>(kPageBufferBytes / kTextBytesPerPageLine);

}  // namespace

int linesPerPage(int memoHeight) {
    const int lines = (memoHeight / kMemoFontPoints) * 60 / 100 - 1;
    return std::clamp(lines, 1, kMaxLinesPerPage);
}

ScrollRange scrollRange(std::uint64_t fileSize, int linesPerPage) {
    ScrollRange range;
    const auto lines = static_cast<std::int64_t>(fileSize / kLineBytes);
    const std::int64_t positions = lines - (linesPerPage - 2);
    if (positions <= 1) {
        return range;
    }
    // Position p >= 1 shows the page starting at line (p - 1) * linesPerStep; the last one at positions - 1.
    range.lastStartLine = positions - 1;
    range.linesPerStep = (range.lastStartLine + INT_MAX - 2) / (INT_MAX - 1);
    range.maximum = static_cast<int>((range.lastStartLine + range.linesPerStep - 1) / range.linesPerStep + 1);
    range.largeChange = linesPerPage - 1;
    range.enabled = true;
    return range;
}

std::uint64_t pageOffsetAt(const ScrollRange& range, int position) {
    if (position <= 1 || range.maximum == 1) {
        return 0;
    }
    const std::int64_t line = std::min((position - 1) * range.linesPerStep, range.lastStartLine);
    return static_cast<std::uint64_t>(line) * kLineBytes;
}

int positionBefore(const ScrollRange& range, std::uint64_t line) {
    if (line == 0) {
        return 0;
    }
    const std::uint64_t position = (line - 1) / static_cast<std::uint64_t>(range.linesPerStep) + 1;
    return static_cast<int>(std::min<std::uint64_t>(position, static_cast<std::uint64_t>(range.maximum)));
}

int positionAfter(Step step, int position, int maximum, int linesPerPage) {
    switch (step) {
        case Step::Up:
            return position > 1 ? position - 1 : position;
        case Step::Down:
            return position < maximum ? position + 1 : position;
        case Step::Home:
            return 1;
        case Step::End:
            return maximum;
        case Step::PageUp:
            return position > linesPerPage ? position - linesPerPage : 1;
        case Step::PageDown:
            break;
    }
    if (position >= maximum) {
        return position;
    }
    return static_cast<int>(std::min<std::int64_t>(std::int64_t{position} + linesPerPage, maximum));
}
