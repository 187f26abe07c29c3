#pragma once
// How a name or a path, a byte string from the system, is shown: each name of it by itself, decoded as UTF-8,
// or as Windows-1251 when that name is not valid UTF-8 (Windows archives unpacked on Linux hold many such
// names), so one such name leaves the rest of its path readable. Only the display decodes: the bytes
// themselves stay as they are everywhere else.

#include <QString>
#include <string>
#include <string_view>

QString shownName(std::string_view bytes);

// The characters shownName shows, into `out`, without a QString on the way (the name masks match names as
// shown, thousands a second).
void shownCharacters(std::string_view bytes, std::u32string& out);
