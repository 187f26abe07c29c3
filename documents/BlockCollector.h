#pragma once
// Gathers a document's text into blocks as UTF-8. Blocks nest as paragraphs do (a text box, a footnote or a
// comment inside a paragraph): the inner one is a block of its own and the outer one goes on after it. The
// whole text is held in memory, so it is spent from the document's budget, blocks by their cost too (the
// limits on what is inflated do not bound an RTF file, nor the count of blocks).

#include <QStringView>
#include <string>
#include <vector>

#include "documents/TextBudget.h"

class BlockCollector {
  public:
    BlockCollector(std::vector<std::string>& blocks, TextBudget& budget) : blocks_(blocks), budget_(budget) {}

    void open() { open_.emplace_back(); }
    // Ends the innermost block; an empty one is dropped.
    void close();
    // Ends the innermost block and starts the next one at the same depth (a paragraph mark, a cell's end).
    void breakBlock();
    bool isOpen() const { return !open_.empty(); }

    // Text goes to the innermost block; with none open it is dropped. Throws DocumentUnreadable past the
    // budget.
    void append(QStringView text);
    void append(char32_t ch);

  private:
    std::string& innermost(std::size_t adding);

    std::vector<std::string>& blocks_;
    TextBudget& budget_;
    std::vector<std::string> open_;
};
