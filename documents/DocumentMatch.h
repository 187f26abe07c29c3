#pragma once
// How a document's text holds a search text, for the content search and the viewer alike: without regard to
// case by the rules of the UTF-8 form of matching/, a blank of the typed text standing for any run of blanks,
// tabs, no-break spaces and line ends inside a block, and soft hyphens (U+00AD) left out on both sides. Ё and
// е stay different letters, as everywhere in the program.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "documents/DocumentText.h"
#include "matching/TextForms.h"
#include "matching/TextScanner.h"

// A block with every run of blanks made one space and its soft hyphens left out. `origins[i]` is the place in
// the block of the byte `bytes[i]` came from (a run's space: the run's first character), and one more entry
// holds the block's length.
struct NormalisedBlock {
    std::string bytes;
    std::vector<std::uint32_t> origins;
};
NormalisedBlock normaliseBlock(std::string_view block);
// The same without the origins, for the content search, which only asks whether the text is there.
std::string normalisedBytes(std::string_view block);

// Bytes [begin, end) of a block.
struct BlockMatch {
    std::size_t begin = 0;
    std::size_t end = 0;
};

class DocumentQuery {
  public:
    explicit DocumentQuery(const QString& typed);

    // Whether the text can be found at all; one that is empty once its soft hyphens are left out cannot.
    bool findable() const { return !scanner_.empty(); }
    bool foundIn(const DocumentText& text) const;
    // The first match in `block` that begins at or after byte `from`.
    std::optional<BlockMatch> findIn(std::string_view block, std::size_t from) const;

  private:
    std::optional<std::size_t> matchEnd(const std::string& bytes, std::size_t at) const;

    TextForm form_;
    TextScanner scanner_;
};
