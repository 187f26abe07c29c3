#pragma once
// The two 8-bit code pages the program speaks: Windows-1251 (all its own text, the "WIN" reading) and code
// page 866 (the DOS reading and the DOS content search). The tables are the program's own data.

#include <QString>
#include <optional>
#include <string>

namespace codepage {

// Unicode character of a Windows-1251 code; 0x98, which 1251 leaves undefined, gives U+FFFD.
char16_t win1251ToUnicode(unsigned char code);
// Unicode character of a code page 866 code.
char16_t cp866ToUnicode(unsigned char code);

// The code of a Unicode character in Windows-1251 or in code page 866, or nothing when the page lacks it.
std::optional<unsigned char> win1251Code(char32_t ch);
std::optional<unsigned char> cp866Code(char32_t ch);

// Windows-1251 code of a Unicode character, or '?' when 1251 has no such character.
unsigned char unicodeToWin1251(char16_t ch);
// Converts typed text to Windows-1251 bytes; characters outside 1251 become "?".
std::string toWin1251(const QString& text);
// Decodes Windows-1251 bytes as they stand (control codes stay control codes).
QString fromWin1251(const std::string& bytes);

// OemToAnsi: the 1251 code for a code page 866 code. Box-drawing and block characters become "+", "-", "|" or
// "#", the nearest look that 1251 can give.
unsigned char oemToAnsi(unsigned char code);

// The classic DOS glyph of a control code (0x00 to 0x1F and 0x7F); any other code gives 0.
char16_t dosControlGlyph(unsigned char code);

}  // namespace codepage
