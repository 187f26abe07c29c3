#include "platform/text/CodePages.h"

#include <QChar>
#include <array>

namespace codepage {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

constexpr std::array<char16_t, 128> kWin1251High = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  //
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  //
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  //
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  //
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  //
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  //
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  //
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  //
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  //
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  //
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  //
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  //
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  //
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

constexpr std::array<char16_t, 128> kCp866High = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  //
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  //
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  //
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  //
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  //
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  //
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  //
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  //
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  //
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  //
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  //
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  //
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  //
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  //
    0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E,  //
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,
};

constexpr std::array<char16_t, 32> kControlGlyphs = {
    0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,  //
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,  //
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,  //
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,
};

char16_t highOrAscii(const std::array<char16_t, 128>& high, unsigned char code) {
    return code < 0x80 ? char16_t(code) : high[code - 0x80];
}

// The OemToAnsi map is derived once from the two tables, so they are its single source.
struct Derived {
    std::array<unsigned char, 256> oemToAnsi{};

    Derived() {
        for (int code = 0; code < 256; ++code) {
            oemToAnsi[code] = oemForm(static_cast<unsigned char>(code));
        }
    }

    static unsigned char oemForm(unsigned char code) {
        const char16_t ch = cp866ToUnicode(code);
        if (ch >= 0x2500 && ch <= 0x257F) {  // box drawing: lines and corners
            if (ch == 0x2500 || ch == 0x2550) {
                return '-';
            }
            if (ch == 0x2502 || ch == 0x2551) {
                return '|';
            }
            return '+';
        }
        if (ch >= 0x2580 && ch <= 0x25A0) {  // shades and blocks
            return '#';
        }
        switch (ch) {
            case 0x2219:  // bullet operator
                return 0xB7;
            case 0x221A:  // square root
                return 'v';
            default:
                return unicodeToWin1251(ch);
        }
    }
};

const Derived& derived() {
    static const Derived tables;
    return tables;
}

}  // namespace

char16_t win1251ToUnicode(unsigned char code) {
    return highOrAscii(kWin1251High, code);
}

char16_t cp866ToUnicode(unsigned char code) {
    return highOrAscii(kCp866High, code);
}

namespace {

std::optional<unsigned char> codeIn(const std::array<char16_t, 128>& high, char32_t ch) {
    if (ch < 0x80) {
        return static_cast<unsigned char>(ch);
    }
    if (ch == kReplacement) {
        return std::nullopt;  // stands for 1251's undefined 0x98, which holds no character
    }
    for (std::size_t i = 0; i < high.size(); ++i) {
        if (high[i] == ch) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<unsigned char> win1251Code(char32_t ch) {
    return codeIn(kWin1251High, ch);
}

std::optional<unsigned char> cp866Code(char32_t ch) {
    return codeIn(kCp866High, ch);
}

unsigned char unicodeToWin1251(char16_t ch) {
    return win1251Code(ch).value_or('?');
}

std::string toWin1251(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;  // one character outside the BMP, so one "?"
            bytes.push_back('?');
            continue;
        }
        bytes.push_back(static_cast<char>(unicodeToWin1251(ch.unicode())));
    }
    return bytes;
}

QString fromWin1251(const std::string& bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (const char byte : bytes) {
        text.append(QChar(win1251ToUnicode(static_cast<unsigned char>(byte))));
    }
    return text;
}

unsigned char oemToAnsi(unsigned char code) {
    return derived().oemToAnsi[code];
}

char16_t dosControlGlyph(unsigned char code) {
    if (code < 0x20) {
        return kControlGlyphs[code];
    }
    return code == 0x7F ? char16_t(0x2302) : char16_t(0);
}

}  // namespace codepage
