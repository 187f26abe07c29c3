#include "viewer/render/Ucode.h"

#include "viewer/render/Reading.h"

namespace {

constexpr unsigned char kCyrillicHigh = 4;
constexpr unsigned char kCyrillicShift = 176;

char cyrillic(unsigned char lo) {
    return static_cast<char>((lo + kCyrillicShift) & 0xFF);
}

char placeholderFor(unsigned char code, bool nulToo) {
    return code == '\t' || (nulToo && code == 0) ? kPlaceholder : static_cast<char>(code);
}

}  // namespace

void unitsFromBytes(const unsigned char* bytes, std::size_t count, std::uint16_t* units) {
    for (std::size_t i = 0; i + 1 < count; i += 2) {
        units[i / 2] = static_cast<std::uint16_t>(bytes[i] | (bytes[i + 1] << 8));
    }
}

std::string ucodeText(const std::uint16_t* units, std::size_t count) {
    std::string text;
    text.reserve(count * 2);
    for (std::size_t i = 0; i < count; ++i) {
        const auto lo = static_cast<unsigned char>(units[i] & 0xFF);
        const auto hi = static_cast<unsigned char>(units[i] >> 8);
        if (hi == 0 || hi == kCyrillicHigh) {
            if (lo != 0) {
                text.push_back(hi == 0 ? static_cast<char>(lo) : cyrillic(lo));
            }
            continue;
        }
        text.push_back(placeholderFor(lo, true));
        text.push_back(placeholderFor(hi, false));
    }
    return text;
}

std::string ucodeHexColumn(const unsigned char* bytes, std::size_t count) {
    std::string column;
    std::size_t i = 0;
    for (; i + 1 < count; i += 2) {
        const unsigned char lo = bytes[i];
        const unsigned char hi = bytes[i + 1];
        if (hi == 0) {
            column.push_back(static_cast<char>(lo));
        } else if (hi == kCyrillicHigh) {
            column.push_back(cyrillic(lo));
        } else {
            column.push_back(static_cast<char>(lo));
            column.push_back(static_cast<char>(hi));
        }
    }
    if (i < count) {
        column.push_back(kPlaceholder);
    }
    return column;
}
