#pragma once
// What one document's text may hold in memory: its bytes and what each block, or each name kept beside the
// text, costs to keep; 32 MiB in all. A document of countless tiny cells is bounded as one long text is, and
// as each of the run's helper threads holds one document at a time, so is the run.

#include <cstddef>
#include <string>

class TextBudget {
  public:
    static constexpr std::size_t kMostBytes = std::size_t{32} << 20;
    // What keeping one block or name costs beside its bytes: the string and its allocation's bookkeeping.
    static constexpr std::size_t kEntryCost = sizeof(std::string) + 16;

    // Counts `bytes` more; false once the budget is spent, and from then on.
    bool fits(std::size_t bytes) {
        spent_ += bytes;
        return spent_ <= kMostBytes;
    }
    // The same for the readers: throws DocumentUnreadable once the budget is spent.
    void spend(std::size_t bytes);
    // One entry kept: its bytes and its cost.
    void spendEntry(const std::string& entry) { spend(entry.size() + kEntryCost); }

  private:
    std::size_t spent_ = 0;
};

// Why a document past its budget is unreadable.
extern const char* const kTextTooLarge;
