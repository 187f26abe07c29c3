#pragma once
// The UTF-8 reading. A byte that is not part of a valid sequence (no overlong forms, no surrogates, nothing
// past U+10FFFF) shows as the placeholder, one for each such byte. A page starts at a 16-byte step and may
// cut a character at either edge: the tail of a character begun before the page belongs to the page before,
// and a character begun on the page is shown whole from the bytes read past it.

#include <QString>

#include "viewer/render/PageBytes.h"
#include "viewer/render/TextPage.h"

// The text displays: line ends, TAB, NUL and control codes as in the 8-bit readings; a C1 control
// (U+0080..U+009F), which has no look of its own, shows as the placeholder.
QString utf8Text(const PageBytes& page, TextDisplay display);

// The character column of one hex line: one position per byte, whatever the characters. A character stands at
// its first byte and the bytes that continue it show as "·", also on the next line when it goes on there;
// NUL, TAB, CR, C1 controls and characters that would not take a place of their own (marks, format
// characters, right-to-left letters) show as the placeholder.
QString utf8HexColumn(const PageBytes& line);
