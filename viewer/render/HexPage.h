#pragma once
// The hex page: one line for every 16 bytes, "00000010: 41 42 43 44 45 46 47 48|49 4A 4B 4C 4D 4E 4F 50 |
// ABCDEFGHIJKLMNOP". The offset label is what the search looks for, so its form matters beyond display.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>

#include "viewer/render/PageBytes.h"
#include "viewer/render/Reading.h"

constexpr std::size_t kHexLineBytes = 16;

// The offset in upper-case hex, at least 8 digits; past 4 GiB it grows ("100000C10"), never cut.
std::string offsetLabel(std::uint64_t offset);

// One line of 1 to 16 bytes that start at `offset`, as drawn. A partial line pads its hex field with spaces
// so its column starts where a full line's does. The UTF-8 column looks at the bytes around the line.
QString hexLine(const PageBytes& line, std::uint64_t offset, Reading reading);

// The memo's text for a page read at `offset`: the lines, one per 16 bytes, joined by line breaks.
QString hexPageForDisplay(const PageBytes& page, std::uint64_t offset, Reading reading);
