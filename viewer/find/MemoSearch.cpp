#include "viewer/find/MemoSearch.h"

#include "platform/CodePages.h"

namespace {

QString folded(const QString& text) {
    QString result = text;
    for (QChar& ch : result) {
        const unsigned char code = codepage::unicodeToWin1251(ch.unicode());
        if (code != '?') {
            ch = QChar(codepage::win1251ToUnicode(foldCase(code)));
        }
    }
    return result;
}

}  // namespace

unsigned char foldCase(unsigned char code) {
    if ((code >= 0x41 && code <= 0x5A) || (code >= 0xC0 && code <= 0xDF)) {
        return static_cast<unsigned char>(code + 0x20);
    }
    switch (code) {
        case 0x81:
            return 0x83;
        case 0xA5:
            return 0xB4;
        case 0xA8:
            return 0xB8;
        case 0xAA:
            return 0xBA;
        case 0xAF:
            return 0xBF;
        case 0xB2:
            return 0xB3;
        case 0xBD:
            return 0xBE;
        default:
            return code;
    }
}

qsizetype findFolded(const QString& text, const QString& needle, qsizetype from) {
    if (needle.isEmpty()) {
        return -1;
    }
    return folded(text).indexOf(folded(needle), from);
}
