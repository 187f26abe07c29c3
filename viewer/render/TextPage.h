#pragma once
// The text displays: the whole text of a small file and the text page, in the four readings.

#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>

#include "viewer/render/PageBytes.h"
#include "viewer/render/Reading.h"

// Whole text in WIN or DOS: a NUL shows as the placeholder and a TAB is followed by four spaces; the DOS
// reading is converted after that.
std::string wholeText(const unsigned char* bytes, std::size_t count, Reading reading);

// A text page in WIN or DOS: NUL and TAB show as the placeholder, CR and LF stay.
std::string textPage(const unsigned char* bytes, std::size_t count, Reading reading);

// What the memo shows for a page (or a whole small file) as whole text or as a text page; the UCODE reading
// decodes the count div 2 units already in `units`.
enum class TextDisplay { Whole, Page };
QString textForMemo(TextDisplay display, const PageBytes& page, const std::uint16_t* units, Reading reading);
