#pragma once
// Finds the first place in a block of bytes where any of a text's forms stands, each character of a form
// matching any of its byte sequences. The scan tests 16, 32 or 64 places at once for the two rarest-looking
// bytes of every form and checks a whole form only where both of its bytes fit, so common letters cost
// little.

#include <cstddef>
#include <vector>

#include "matching/ScanLoop.h"
#include "matching/TextForms.h"

class TextScanner {
  public:
    // At most ScanPlan::kMaxForms forms; an empty form is not looked for.
    explicit TextScanner(const std::vector<TextForm>& forms);
    TextScanner(const TextScanner&) = delete;
    TextScanner& operator=(const TextScanner&) = delete;
    TextScanner(TextScanner&&) = default;
    TextScanner& operator=(TextScanner&&) = default;

    // Place of the first match that starts below `starts` and lies wholly inside the block, or -1.
    std::ptrdiff_t find(const char* block, std::size_t length, std::size_t starts) const;

    bool empty() const { return forms_.empty(); }
    // The fewest and the most bytes a match can take.
    std::size_t shortest() const { return shortest_; }
    std::size_t longest() const { return longest_; }

  private:
    std::vector<std::vector<ScanChar>> chars_;
    std::vector<ScanForm> forms_;  // pointing into chars_, whose buffers stay put when the scanner moves
    std::size_t reach_ = 0;
    std::size_t shortest_ = 0;
    std::size_t longest_ = 0;
};
