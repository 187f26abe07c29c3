#pragma once
// Windows-1251 text as the memo shows it. Control codes show as the classic DOS glyphs of their codes, so the
// placeholder 0x10 shows as "►".

#include <QString>
#include <string>

// Text displays: a line ends at CR LF, at LF or at a lone CR; a TAB stays a tab.
QString textForDisplay(const std::string& win1251);

// A hex line: every code shows as its glyph and nothing ends the line (LF shows as "◙").
QString lineForDisplay(const std::string& win1251);
