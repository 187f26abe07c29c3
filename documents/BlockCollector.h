#pragma once
// Gathers a document's text into blocks as UTF-8. Blocks nest as paragraphs do (a text box, a footnote or a
// comment inside a paragraph): the inner one is a block of its own and the outer one goes on after it. The
// whole text is held in memory, so it is limited: past 32 MiB the document is unreadable (the limits on what
// is inflated do not bound an RTF file, and the run's helper threads each hold a document).

#include <QStringView>
#include <string>
#include <vector>

class BlockCollector {
  public:
    explicit BlockCollector(std::vector<std::string>& blocks) : blocks_(blocks) {}

    void open() { open_.emplace_back(); }
    // Ends the innermost block; an empty one is dropped.
    void close();
    // Ends the innermost block and starts the next one at the same depth (a paragraph mark, a cell's end).
    void breakBlock();
    bool isOpen() const { return !open_.empty(); }

    // Text goes to the innermost block; with none open it is dropped. Throws DocumentUnreadable past the
    // limit.
    void append(QStringView text);
    void append(char32_t ch);

  private:
    std::string& innermost(std::size_t adding);

    std::vector<std::string>& blocks_;
    std::size_t textBytes_ = 0;
    std::vector<std::string> open_;
};
