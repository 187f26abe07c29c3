#include "viewer/render/DisplayText.h"

#include "platform/text/CodePages.h"

namespace {

QChar glyphOrCharacter(unsigned char code) {
    const char16_t glyph = codepage::dosControlGlyph(code);
    return QChar(glyph != 0 ? glyph : codepage::win1251ToUnicode(code));
}

}  // namespace

QString textForDisplay(const std::string& win1251) {
    QString text;
    text.reserve(static_cast<qsizetype>(win1251.size()));
    for (std::size_t i = 0; i < win1251.size(); ++i) {
        const auto code = static_cast<unsigned char>(win1251[i]);
        if (code == '\r') {
            if (i + 1 < win1251.size() && win1251[i + 1] == '\n') {
                ++i;
            }
            text.append(QLatin1Char('\n'));
        } else if (code == '\n' || code == '\t') {
            text.append(QLatin1Char(static_cast<char>(code)));
        } else {
            text.append(glyphOrCharacter(code));
        }
    }
    return text;
}

QString lineForDisplay(const std::string& win1251) {
    QString line;
    line.reserve(static_cast<qsizetype>(win1251.size()));
    for (const char byte : win1251) {
        line.append(glyphOrCharacter(static_cast<unsigned char>(byte)));
    }
    return line;
}
