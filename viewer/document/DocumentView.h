#pragma once
// A document's text in the file viewer: its blocks as the memo's lines, and the search in them by the rules
// of the content search (a blank for any run of blanks and line ends inside a block, soft hyphens left out),
// so the text the run found is found here too.

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "documents/DocumentText.h"

// Characters [begin, end) of the memo's text.
struct MemoMatch {
    qsizetype begin = 0;
    qsizetype end = 0;
};

class DocumentView {
  public:
    explicit DocumentView(std::vector<std::string> blocks);

    // The blocks, one after another, each on lines of its own.
    const QString& memoText() const { return memoText_; }
    // The first match of `typed` that begins at or after the memo's character `from`. `cancelled` is asked
    // between blocks; once it answers true the search ends with nothing.
    std::optional<MemoMatch> find(const QString& typed, qsizetype from,
                                  const std::function<bool()>& cancelled = {}) const;

  private:
    qsizetype memoPosition(std::size_t block, std::size_t byte) const;

    std::vector<std::string> blocks_;
    std::vector<qsizetype> starts_;  // where each block begins in the memo's text
    QString memoText_;
};

// Where the slice of `text` that begins at `from` ends when the memo is filled a slice at a time: after the
// last line end within kMemoSliceChars characters, else at that count, never between the two halves of a
// surrogate pair.
constexpr qsizetype kMemoSliceChars = 32768;
qsizetype memoSliceEnd(const QString& text, qsizetype from);

// Whether the file's first bytes may be a document's; false for a file that is empty or no regular file.
bool mayBeDocumentFile(const std::string& path);

// Finds `typed` as find does, on a thread of its own while `keepGoing` is called every few milliseconds;
// once it answers false the search ends with nothing.
std::optional<MemoMatch> findWhileWaiting(const DocumentView& view, const QString& typed, qsizetype from,
                                          const std::function<bool()>& keepGoing);

// Reads a document's text, and lays it out for the memo, on a thread of its own while `keepGoing` is called
// every few milliseconds (it lets the window's events through); once it answers false the read is cancelled.
// Nothing when the text could not be read or the read was cancelled.
std::optional<DocumentView> readDocumentWhileWaiting(const std::string& path, PdfTextSource* pdf,
                                                     const std::function<bool()>& keepGoing);
