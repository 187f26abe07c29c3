#include <gtest/gtest.h>

#include <set>

#include "platform/text/CodePages.h"
#include "platform/text/ShownName.h"

using namespace codepage;

namespace {

unsigned char win(char16_t ch) {
    return unicodeToWin1251(ch);
}

}  // namespace

TEST(CodePages, ConversionToWin1251ReplacesWhatItCannotHold) {
    EXPECT_EQ(toWin1251(QStringLiteral("Привет, Ёж!")), "\xCF\xF0\xE8\xE2\xE5\xF2, \xA8\xE6!");
    EXPECT_EQ(toWin1251(QStringLiteral("αβ€")), "??\x88");
    EXPECT_EQ(toWin1251(QString::fromUcs4(U"\U0001F600x")), "?x");
    EXPECT_EQ(fromWin1251("\xCF\x98"), QStringLiteral("П\uFFFD"));
}

TEST(CodePages, Every1251CodeRoundTrips) {
    for (int code = 0; code < 256; ++code) {
        if (code == 0x98) {
            continue;
        }
        EXPECT_EQ(win(win1251ToUnicode(static_cast<unsigned char>(code))), code) << code;
    }
}

TEST(CodePages, OemToAnsiWholeTable) {
    const std::set<unsigned char> lookalikes = {'+', '-', '|', '#'};
    for (int code = 0; code < 256; ++code) {
        SCOPED_TRACE(code);
        const auto oem = static_cast<unsigned char>(code);
        const char16_t ch = cp866ToUnicode(oem);
        const unsigned char ansi = oemToAnsi(oem);
        if (ch >= 0x2500 && ch <= 0x25A0) {
            EXPECT_EQ(lookalikes.count(ansi), 1u);
        } else if (ch == 0x2219) {
            EXPECT_EQ(ansi, 0xB7);
        } else if (ch == 0x221A) {
            EXPECT_EQ(ansi, 'v');
        } else {
            EXPECT_EQ(win1251ToUnicode(ansi), ch);  // the same character, since 1251 has it
        }
    }
    EXPECT_EQ(oemToAnsi(0xC4), '-');
    EXPECT_EQ(oemToAnsi(0xB3), '|');
    EXPECT_EQ(oemToAnsi(0xC5), '+');
    EXPECT_EQ(oemToAnsi(0xDB), '#');
    EXPECT_EQ(oemToAnsi(0x80), 0xC0);  // А
    EXPECT_EQ(oemToAnsi(0xF1), 0xB8);  // ё
}

TEST(CodePages, DosGlyphsOfControlCodes) {
    EXPECT_EQ(dosControlGlyph(0x00), u' ');
    EXPECT_EQ(dosControlGlyph(0x01), u'☺');
    EXPECT_EQ(dosControlGlyph(0x0A), u'◙');
    EXPECT_EQ(dosControlGlyph(0x10), u'►');
    EXPECT_EQ(dosControlGlyph(0x1F), u'▼');
    EXPECT_EQ(dosControlGlyph(0x7F), u'⌂');
    EXPECT_EQ(dosControlGlyph('A'), 0);
}

// A name is shown as UTF-8 when the whole of it is valid UTF-8, otherwise the whole of it as Windows-1251;
// each name of a path is shown by itself.
TEST(ShownName, DecodesEachNameAsUtf8OrElseWindows1251) {
    const std::pair<std::string, QString> cases[] = {
        {"plain.txt", QStringLiteral("plain.txt")},
        {"Отчёт.doc", QStringLiteral("Отчёт.doc")},
        {"/a/\xCE\xF2\xF7\xB8\xF2.doc", QStringLiteral("/a/Отчёт.doc")},
        {"ж\xFF", QStringLiteral("Р¶я")},              // one invalid byte: the UTF-8 part too is read as 1251
        {"\xED\xA0\x80", QStringLiteral("н\u00A0Ђ")},  // an encoded surrogate is not valid UTF-8
        // Mixed names in one path: only the name that is not UTF-8 is read as 1251.
        {"/home/Документы/\xC0\xF0\xF5\xE8\xE2/Договор.txt",
         QStringLiteral("/home/Документы/Архив/Договор.txt")},
        {"/ж\xFF/ж/", QStringLiteral("/Р¶я/ж/")},
        {"Офис/\xD0/\xD0\xB6", QStringLiteral("Офис/Р/ж")},  // a sequence cut by "/" spoils only its name
    };
    for (const auto& [bytes, shown] : cases) {
        EXPECT_EQ(shownName(bytes), shown) << bytes;
    }
}
