#pragma once
// The search in the whole text on display: the characters as shown, without regard to their Unicode case,
// forward from a place in the text.

#include <QString>

// The index of the first occurrence of `needle` in `text` at or after `from`, letters of any script matching
// their other case; -1 when there is none or the needle is empty. A match is as long as the needle.
qsizetype findWithoutCase(const QString& text, const QString& needle, qsizetype from);
