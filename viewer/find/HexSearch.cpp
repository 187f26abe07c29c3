#include "viewer/find/HexSearch.h"

#include "matching/ContentMatch.h"
#include "platform/CodePages.h"
#include "viewer/render/HexPage.h"

std::uint64_t searchStart(const std::optional<HexMatch>& previous, std::uint64_t pageOffset) {
    if (previous && previous->pageOffset == pageOffset) {
        return previous->lineOffset + kHexLineBytes;
    }
    return pageOffset;
}

std::string searchBytes(const QString& typed, Reading reading) {
    const std::string text = codepage::toWin1251(typed);
    return reading == Reading::Dos ? WinToDos(text) : text;
}

// A label stands at the start of a line and is followed by ": "; the same digits in a character column do not
// count.
qsizetype labelPosition(const QString& page, std::uint64_t lineOffset) {
    const QString label = QString::fromLatin1(offsetLabel(lineOffset)) + QLatin1Char(':');
    if (page.startsWith(label)) {
        return 0;
    }
    const qsizetype found = page.indexOf(QLatin1Char('\n') + label);
    return found < 0 ? -1 : found + 1;
}
