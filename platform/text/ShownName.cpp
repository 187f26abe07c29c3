#include "platform/text/ShownName.h"

#include "platform/text/CodePages.h"
#include "platform/text/Utf8Sequence.h"

QString shownName(std::string_view bytes) {
    std::u32string characters;
    shownCharacters(bytes, characters);
    return QString::fromUcs4(characters.data(), static_cast<qsizetype>(characters.size()));
}

void shownCharacters(std::string_view bytes, std::u32string& out) {
    out.clear();
    for (std::size_t pos = 0; pos < bytes.size();) {
        char32_t ch = 0;
        const std::size_t length = utf8SequenceAt(bytes, pos, ch);
        if (length == 0) {  // not UTF-8: the whole name is shown as Windows-1251
            out.clear();
            for (const char byte : bytes) {
                out.push_back(codepage::win1251ToUnicode(static_cast<unsigned char>(byte)));
            }
            return;
        }
        out.push_back(ch);
        pos += length;
    }
}
