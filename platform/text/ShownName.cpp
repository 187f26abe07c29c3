#include "platform/text/ShownName.h"

#include "platform/text/CodePages.h"
#include "platform/text/Utf8Sequence.h"

QString shownName(std::string_view bytes) {
    std::u32string characters;
    shownCharacters(bytes, characters);
    return QString::fromUcs4(characters.data(), static_cast<qsizetype>(characters.size()));
}

// "/" is one byte in UTF-8 and in Windows-1251 and never part of a longer UTF-8 sequence, so the names of a
// path are found by it before they are decoded.
void shownCharacters(std::string_view bytes, std::u32string& out) {
    out.clear();
    std::size_t nameStart = 0;
    std::size_t nameShownFrom = 0;
    for (std::size_t pos = 0; pos < bytes.size();) {
        if (bytes[pos] == '/') {
            out.push_back(U'/');
            nameStart = ++pos;
            nameShownFrom = out.size();
            continue;
        }
        char32_t ch = 0;
        const std::size_t length = utf8SequenceAt(bytes, pos, ch);
        if (length != 0) {
            out.push_back(ch);
            pos += length;
            continue;
        }
        // Not UTF-8: the whole of this name is shown as Windows-1251.
        out.resize(nameShownFrom);
        for (pos = nameStart; pos < bytes.size() && bytes[pos] != '/'; ++pos) {
            out.push_back(codepage::win1251ToUnicode(static_cast<unsigned char>(bytes[pos])));
        }
    }
}
