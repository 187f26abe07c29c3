#include "viewer/find/HexSearch.h"

#include "viewer/render/HexPage.h"

std::uint64_t searchStart(const std::optional<HexMatch>& previous, std::uint64_t pageOffset) {
    if (previous && previous->pageOffset == pageOffset) {
        return previous->lineOffset + kHexLineBytes;
    }
    return pageOffset;
}

TextEncoding encodingOf(Reading reading) {
    switch (reading) {
        case Reading::Win:
            return TextEncoding::Win1251;
        case Reading::Dos:
            return TextEncoding::Cp866;
        case Reading::Ucode:
            return TextEncoding::Utf16le;
        case Reading::Utf8:
            return TextEncoding::Utf8;
    }
    return TextEncoding::Win1251;
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
