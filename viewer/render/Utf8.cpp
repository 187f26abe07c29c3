#include "viewer/render/Utf8.h"

#include <algorithm>

#include "platform/text/CodePages.h"
#include "platform/text/Utf8Sequence.h"
#include "viewer/render/Reading.h"

namespace {

const QChar kPlaceholderGlyph(codepage::dosControlGlyph(kPlaceholder));
const QChar kContinued(0x00B7);

struct Sequence {
    char32_t code = 0;
    std::size_t length = 0;  // 0: the byte starts no valid sequence
};

// The sequence that starts at `at`, read no further than `end`.
Sequence sequenceAt(const unsigned char* at, const unsigned char* end) {
    Sequence sequence;
    const std::string_view bytes(reinterpret_cast<const char*>(at), static_cast<std::size_t>(end - at));
    sequence.length = utf8SequenceAt(bytes, 0, sequence.code);
    return sequence;
}

// How many of the page's first bytes finish a character begun before it. A valid sequence is found wherever
// it starts, so looking back from the page finds the same characters as reading the page before.
std::size_t tailOfCharacterBefore(const PageBytes& page) {
    for (std::size_t back = 1; back <= page.before; ++back) {
        const unsigned char* lead = page.first - back;
        if (!isUtf8Continuation(*lead)) {
            const std::size_t length = sequenceAt(lead, page.end() + page.after).length;
            return length > back ? std::min(length - back, page.count) : 0;
        }
    }
    return 0;
}

// Calls visit(sequence, at) for every character and every invalid byte that begins on the page from `from`
// on.
template <typename Visit>
void forEachCharacter(const PageBytes& page, std::size_t from, Visit visit) {
    const unsigned char* limit = page.end() + page.after;
    for (std::size_t at = from; at < page.count;) {
        const Sequence sequence = sequenceAt(page.first + at, limit);
        visit(sequence, at);
        at += std::max<std::size_t>(sequence.length, 1);
    }
}

bool isC1Control(char32_t code) {
    return code >= 0x80 && code < 0xA0;
}

void appendCode(QString& text, char32_t code) {
    if (code < 0x80) {
        const char16_t glyph = codepage::dosControlGlyph(static_cast<unsigned char>(code));
        text.append(glyph != 0 ? QChar(glyph) : QChar(static_cast<char16_t>(code)));
    } else if (isC1Control(code)) {
        text.append(kPlaceholderGlyph);
    } else if (QChar::requiresSurrogates(code)) {
        text.append(QChar(QChar::highSurrogate(code)));
        text.append(QChar(QChar::lowSurrogate(code)));
    } else {
        text.append(QChar(static_cast<char16_t>(code)));
    }
}

// A character that draws nothing of its own, draws onto its neighbour, breaks the line or turns the order of
// the characters around it would shift the column's positions.
bool takesAPlaceOfItsOwn(char32_t code) {
    switch (QChar::category(code)) {
        case QChar::Mark_NonSpacing:
        case QChar::Mark_SpacingCombining:
        case QChar::Mark_Enclosing:
        case QChar::Other_Format:
        case QChar::Other_NotAssigned:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            return false;
        default:
            break;
    }
    const QChar::Direction direction = QChar::direction(code);
    return direction != QChar::DirR && direction != QChar::DirAL;
}

}  // namespace

QString utf8Text(const PageBytes& page, TextDisplay display) {
    QString text;
    text.reserve(static_cast<qsizetype>(page.count));
    bool afterCr = false;
    forEachCharacter(page, tailOfCharacterBefore(page), [&](const Sequence& sequence, std::size_t) {
        const char32_t code = sequence.length == 0 ? kPlaceholder : sequence.code;
        const bool lfAfterCr = afterCr && code == '\n';
        afterCr = code == '\r';
        if (lfAfterCr) {
            return;  // CR LF ends one line
        }
        if (code == '\r' || code == '\n') {
            text.append(QLatin1Char('\n'));
        } else if (code == '\t') {
            text.append(display == TextDisplay::Whole ? QStringLiteral("\t    ")
                                                      : QString(kPlaceholderGlyph));
        } else {
            appendCode(text, code == 0 ? kPlaceholder : code);
        }
    });
    return text;
}

QString utf8HexColumn(const PageBytes& line) {
    QString column;
    const std::size_t tail = tailOfCharacterBefore(line);
    column.fill(kContinued, static_cast<qsizetype>(tail));
    forEachCharacter(line, tail, [&](const Sequence& sequence, std::size_t at) {
        const char32_t code = sequence.code;
        const bool hidden = code == 0 || code == '\t' || code == '\r';
        if (sequence.length == 0 || hidden || (code >= 0x80 && !takesAPlaceOfItsOwn(code))) {
            column.append(kPlaceholderGlyph);
        } else {
            appendCode(column, code);
        }
        if (sequence.length > 1) {
            const std::size_t onThisLine = std::min(sequence.length, line.count - at);
            column.append(QString(static_cast<qsizetype>(onThisLine - 1), kContinued));
        }
    });
    return column;
}
