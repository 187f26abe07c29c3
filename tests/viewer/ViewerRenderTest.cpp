// The file viewer's page units: hex lines, the three readings, the text displays, the page arithmetic and the
// search rules, each checked on bytes as a file would hold them.
#include <gtest/gtest.h>

#include <QStringList>
#include <climits>

#include "platform/text/CodePages.h"
#include "viewer/find/HexSearch.h"
#include "viewer/find/MemoSearch.h"
#include "viewer/paging/ScrollGeometry.h"
#include "viewer/render/DisplayText.h"
#include "viewer/render/HexPage.h"
#include "viewer/render/TextPage.h"
#include "viewer/render/Ucode.h"

namespace {

using Bytes = std::string;

const unsigned char* data(const Bytes& bytes) {
    return reinterpret_cast<const unsigned char*>(bytes.data());
}

Bytes win(const char* utf8) {
    return codepage::toWin1251(QString::fromUtf8(utf8));
}

std::string ucode(const Bytes& bytes) {
    std::vector<std::uint16_t> units(bytes.size() / 2 + 1);
    unitsFromBytes(data(bytes), bytes.size(), units.data());
    return ucodeText(units.data(), bytes.size() / 2);
}

// A page of `bytes` from `start` on, `count` long, with the bytes around it as its margins.
PageBytes pageOf(const Bytes& bytes, std::size_t start, std::size_t count) {
    return PageBytes{data(bytes), bytes.size()}.part(start, count);
}

}  // namespace

TEST(ViewerHexLine, FieldsAsDrawn) {
    struct Case {
        const char* name;
        Bytes bytes;
        std::uint64_t offset;
        Reading reading;
        std::string line;
    };
    const std::string pad(33, ' ');  // 11 byte places of 3 characters
    const std::vector<Case> cases = {
        {"full", "ABCDEFGHIJKLMNOP", 0x10, Reading::Win,
         "00000010: 41 42 43 44 45 46 47 48|49 4A 4B 4C 4D 4E 4F 50 | ABCDEFGHIJKLMNOP"},
        {"partial", "ABCDE", 0, Reading::Win, "00000000: 41 42 43 44 45 " + pad + "| ABCDE"},
        {"controls", Bytes("\x00\x09\x0D\x0A\x7F", 5), 0x20, Reading::Win,
         "00000020: 00 09 0D 0A 7F " + pad + "| \x10\x10\x10\x0A\x7F"},
        {"lower-case hex", "\xab\xcd\xef", 0xabc0, Reading::Win,
         "0000ABC0: AB CD EF " + std::string(39, ' ') + "| \xab\xcd\xef"},
        {"past 4 GiB", "A", 0x100000C10, Reading::Win, "100000C10: 41 " + std::string(45, ' ') + "| A"},
        {"DOS column", Bytes("\x8F\xE0\xA8\xA2\xA5\xE2\xB3\x00", 8), 0, Reading::Dos,
         "00000000: 8F E0 A8 A2 A5 E2 B3 00|" + std::string(24, ' ') + "| " + win("Привет|") + "\x10"},
        {"UCODE column", Bytes("\x1F\x04\x41\x00\x00\x00\x09\x00\x41\x09\x00\x04\x3F\x20\x41\x00", 16), 0,
         Reading::Ucode,
         "00000000: 1F 04 41 00 00 00 09 00|41 09 00 04 3F 20 41 00 | \xCF" + std::string("A\x00\x09"
                                                                                          "A\x09\xB0?\x20"
                                                                                          "A",
                                                                                          9)},
        {"UCODE odd partial", Bytes("\x41\x00\x42", 3), 0, Reading::Ucode,
         "00000000: 41 00 42 " + std::string(39, ' ') + "| A\x10"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hexLine({data(c.bytes), c.bytes.size()}, c.offset, c.reading), lineForDisplay(c.line))
            << c.name;
    }
}

TEST(ViewerUcode, UnitsReduceToWindows1251) {
    struct Case {
        const char* name;
        Bytes bytes;
        Bytes text;
    };
    const std::vector<Case> cases = {
        {"Cyrillic", Bytes("\x1F\x04\x40\x04\x38\x04\x32\x04\x35\x04\x42\x04", 12), win("Привет")},
        {"Latin", Bytes("A\0B\0", 4), "AB"},
        {"NUL unit", Bytes("\0\0", 2), ""},
        {"Cyrillic NUL", Bytes("\x00\x04", 2), ""},
        {"TAB unit", Bytes("\x09\x00", 2), "\x09"},
        {"TAB high byte", Bytes("\x41\x09", 2), "A\x10"},
        {"NUL low byte", Bytes("\x00\x41", 2),
         "\x10"
         "A"},
        {"odd byte ignored", Bytes("A\0B", 3), "A"},
        {"byte-order mark", Bytes("\xFF\xFE", 2), "\xFF\xFE"},
        {"CR LF units", Bytes("a\0\r\0\n\0b\0", 8), "a\r\nb"},
        {"U+0401 and U+0451", Bytes("\x01\x04\x51\x04", 4), "\xB1\x01"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ucode(c.bytes), c.text) << c.name;
    }
}

TEST(ViewerTextDisplays, BytesBecomeTheMemosText) {
    struct Case {
        const char* name;
        TextDisplay display;
        Reading reading;
        Bytes bytes;
        QString shown;
    };
    const std::vector<Case> cases = {
        {"whole: TAB and four spaces, NUL", TextDisplay::Whole, Reading::Win, Bytes("a\tb\0c", 5),
         QStringLiteral("a\t    b►c")},
        {"page: TAB and NUL", TextDisplay::Page, Reading::Win, Bytes("a\tb\0c", 5), QStringLiteral("a►b►c")},
        {"line ends", TextDisplay::Page, Reading::Win, "1\r\n2\n3\r4\n\n5",
         QStringLiteral("1\n2\n3\n4\n\n5")},
        {"control glyphs", TextDisplay::Whole, Reading::Win, "\x01\x1F\x7F\x98", QStringLiteral("☺▼⌂\uFFFD")},
        {"1251", TextDisplay::Whole, Reading::Win, win("Ёлка"), QStringLiteral("Ёлка")},
        {"DOS", TextDisplay::Page, Reading::Dos, "\x8F\xE0\xA8\xA2\xA5\xE2\xF0\xC4\x09",
         QStringLiteral("ПриветЁ-►")},
        {"UCODE three bytes", TextDisplay::Whole, Reading::Ucode, Bytes("A\0B", 3), QStringLiteral("A")},
        {"UCODE lines", TextDisplay::Page, Reading::Ucode, Bytes("a\0\r\0\n\0\x10\x04", 8),
         QStringLiteral("a\nА")},
    };
    for (const Case& c : cases) {
        std::vector<std::uint16_t> units(c.bytes.size() / 2 + 1);
        unitsFromBytes(data(c.bytes), c.bytes.size(), units.data());
        EXPECT_EQ(textForMemo(c.display, {data(c.bytes), c.bytes.size()}, units.data(), c.reading), c.shown)
            << c.name;
    }
}

TEST(ViewerPaging, LinesPerPageIsBoundedByTheBuffer) {
    const std::vector<std::pair<int, int>> cases = {{415, 23}, {40, 1},       {10, 1},
                                                    {0, 1},    {20000, 1000}, {1000, 59}};
    for (const auto& [height, lines] : cases) {
        EXPECT_EQ(linesPerPage(height), lines) << height;
    }
}

TEST(ViewerPaging, RangeAndOffsets) {
    struct Case {
        const char* name;
        std::uint64_t size;
        int maximum;
        std::int64_t linesPerStep;
        std::vector<std::pair<int, std::uint64_t>> offsets;  // position, page offset
    };
    constexpr std::uint64_t k40GiB = 40ULL << 30;
    const std::vector<Case> cases = {
        {"under two pages", 300, 1, 1, {{0, 0}, {1, 0}}},
        {"small file", 5000, 291, 1, {{0, 0}, {1, 0}, {291, 290 * 16}}},
        {"64000 bytes", 64000, 3979, 1, {{0, 0}, {1, 0}, {2, 16}, {3979, 3978 * 16}}},
        {"40 GiB",
         k40GiB,
         1342177270,
         2,
         {{1, 0}, {2, 32}, {671088640, 1342177278ULL * 16}, {1342177270, k40GiB - 22 * 16}}},
    };
    for (const Case& c : cases) {
        const ScrollRange range = scrollRange(c.size, 23);
        EXPECT_EQ(range.maximum, c.maximum) << c.name;
        EXPECT_EQ(range.linesPerStep, c.linesPerStep) << c.name;
        EXPECT_EQ(range.enabled, c.maximum > 1) << c.name;
        for (const auto& [position, offset] : c.offsets) {
            EXPECT_EQ(pageOffsetAt(range, position), offset) << c.name << " at " << position;
        }
    }
    const ScrollRange huge = scrollRange(k40GiB, 23);
    // A match's line becomes the page's second line, or lies on the page when a step covers two lines.
    EXPECT_EQ(positionBefore(scrollRange(1 << 20, 23), 0x12), 0x12);
    EXPECT_EQ(positionBefore(scrollRange(1 << 20, 23), 0), 0);
    EXPECT_EQ(positionBefore(scrollRange(1 << 20, 23), 65535), scrollRange(1 << 20, 23).maximum);
    const std::uint64_t line = 2000000001;
    const std::uint64_t start = pageOffsetAt(huge, positionBefore(huge, line)) / 16;
    EXPECT_TRUE(start < line && line < start + 23) << start;
}

TEST(ViewerPaging, PageDownStopsAtTheLastPositionWithoutOverflow) {
    EXPECT_EQ(positionAfter(Step::PageDown, INT_MAX - 1, INT_MAX, 23), INT_MAX);
}

TEST(ViewerSearch, WholeTextFindsTheCharactersWithoutRegardToCase) {
    const QString text = QStringLiteral("abc ЁЛКА ЃҐЄЇІЅЎ mixed Привет привет ΣΟΦΊΑ");
    struct Case {
        QString needle;
        qsizetype from;
        qsizetype found;
    };
    const std::vector<Case> cases = {
        {QStringLiteral("ABC"), 0, 0},      {QStringLiteral("ёлка"), 0, 4},
        {QStringLiteral("ѓґєїіѕў"), 0, 9},  {QStringLiteral("ПРИВЕТ"), 0, 23},
        {QStringLiteral("привет"), 24, 30}, {QStringLiteral("привет"), 31, -1},
        {QStringLiteral("σοφία"), 0, 37},   {QString(), 0, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(findWithoutCase(text, c.needle, c.from), c.found) << c.needle.toStdString();
    }
}

// The window test follows the search start through a file; here the same digits in a character column.
TEST(ViewerSearch, TheLabelIsFoundOnlyAtALinesStart) {
    const QString page = QStringLiteral("00000110: 30 30 | 00000120:\n00000120: 41");
    EXPECT_EQ(labelPosition(page, 0x110), 0);
    EXPECT_EQ(labelPosition(page, 0x120), 28);
    EXPECT_EQ(labelPosition(page, 0x130), -1);
}

TEST(ViewerUtf8, TextShowsEachCharacterOnceAtEitherEdgeOfThePage) {
    struct Case {
        const char* name;
        Bytes bytes;
        std::size_t start;
        std::size_t count;
        TextDisplay display;
        QString shown;
    };
    const Bytes yo = "\xD1\x91";             // ё
    const Bytes smile = "\xF0\x9F\x98\x80";  // U+1F600
    const std::vector<Case> cases = {
        {"Cyrillic and Latin", "\xD0\xBE\xD1\x82\xD1\x87\xD1\x91\xD1\x82 ok", 0, 13, TextDisplay::Whole,
         QStringLiteral("отчёт ok")},
        {"cut at the start", "a" + yo + yo, 2, 3, TextDisplay::Page, QStringLiteral("ё")},
        {"cut at the end", "a" + yo + yo, 0, 4, TextDisplay::Page, QStringLiteral("aёё")},
        {"four bytes cut at both edges", smile + "b" + smile, 3, 3, TextDisplay::Page,
         QStringLiteral("b\U0001F600")},
        {"tails without a lead", Bytes("\x80\x80\x80\x80", 4) + "A", 3, 2, TextDisplay::Page,
         QStringLiteral("►A")},
        {"a lead before an ASCII byte", "\xD1\x41", 1, 1, TextDisplay::Page, QStringLiteral("A")},
        {"invalid bytes, one placeholder each", "\xFF\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80\xE6\x97\x41", 0, 13,
         TextDisplay::Page, QString(12, QChar(0x25BA)) + "A"},
        {"cut off by the file's end", "a\xD1", 0, 2, TextDisplay::Whole, QStringLiteral("a►")},
        {"controls, whole", Bytes("\t\0\x01\r\n\r|\xC2\x85", 9), 0, 9, TextDisplay::Whole,
         QStringLiteral("\t    ►☺\n\n|►")},
        {"TAB on a page", "\t", 0, 1, TextDisplay::Page, QStringLiteral("►")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(textForMemo(c.display, pageOf(c.bytes, c.start, c.count), nullptr, Reading::Utf8), c.shown)
            << c.name;
    }
}

// Every byte keeps its place in the column: 16 positions for 16 bytes, whatever the characters.
TEST(ViewerUtf8, TheHexColumnKeepsOnePositionPerByte) {
    struct Case {
        const char* name;
        Bytes bytes;
        std::size_t start;
        std::size_t count;
        QString columns;  // one line each
    };
    const Bytes yo = "\xD1\x91";
    const std::vector<Case> cases = {
        {"across the line end", "0123456789abcde" + yo + "-", 0, 18, QStringLiteral("0123456789abcdeё\n·-")},
        {"begun before the page", "a" + yo + "-", 2, 2, QStringLiteral("·-")},
        {"cut by the page's end", "0123456789abc\xF0\x9F\x98\x80", 0, 14,
         QStringLiteral("0123456789abc\U0001F600")},
        {"controls, invalid bytes, marks, right-to-left",
         Bytes("\0\t\r\n\x01\xFF\xD1", 7) + "e\xCC\x81\xD7\x90\xE2\x80\x8B\x5A", 0, 16,
         QStringLiteral("►►►◙☺►►e►·►·►··Z")},
    };
    for (const Case& c : cases) {
        const QStringList lines =
            hexPageForDisplay(pageOf(c.bytes, c.start, c.count), 0, Reading::Utf8).split('\n');
        QStringList columns;
        for (const QString& line : lines) {
            columns.append(line.mid(60));
        }
        EXPECT_EQ(columns.join('\n'), c.columns) << c.name;
    }
}
