#pragma once
// The search in a paged file: where it starts, what it looks for, and which line label it selects.

#include <QString>
#include <cstdint>
#include <optional>

#include "matching/TextForms.h"
#include "viewer/render/Reading.h"

// The previous match of this file: the offset of its line and the page it scrolled to.
struct HexMatch {
    std::uint64_t lineOffset = 0;
    std::uint64_t pageOffset = 0;
};

// Where the next search starts: on the page the previous match scrolled to, with the line after that match's
// line, so a repeated search goes on; on any other page at its first byte, so a match in the file's first
// bytes is found.
std::uint64_t searchStart(const std::optional<HexMatch>& previous, std::uint64_t pageOffset);

// The encoding a reading shows the bytes in: the search in a paged file looks for the typed text in the
// encoding of the reading on display.
TextEncoding encodingOf(Reading reading);

// Where the label of the line starting at `lineOffset` stands in a hex page's text, or -1 when the page does
// not show that line.
qsizetype labelPosition(const QString& page, std::uint64_t lineOffset);
