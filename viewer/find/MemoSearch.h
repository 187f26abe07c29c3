#pragma once
// The search in the whole text on display: case-insensitive by the viewer's own Windows-1251 table, forward
// from a place in the text.

#include <QString>

// The Windows-1251 case folding of the in-text search: A-Z and А-Я to lower case, and the seven other
// Cyrillic capitals Ѓ Ґ Ё Є Ї І Ѕ to theirs; every other code is unchanged.
unsigned char foldCase(unsigned char code);

// The index of the first occurrence of `needle` in `text` at or after `from`, both folded; -1 when there is
// none or the needle is empty. Characters outside Windows-1251 compare as themselves.
qsizetype findFolded(const QString& text, const QString& needle, qsizetype from);
