#include "viewer/render/HexPage.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "viewer/render/DisplayText.h"
#include "viewer/render/Ucode.h"

namespace {

constexpr std::size_t kHexFieldWidth = kHexLineBytes * 3;
constexpr char kDigits[] = "0123456789ABCDEF";

std::string characterColumn(const unsigned char* bytes, std::size_t count, Reading reading) {
    if (reading == Reading::Ucode) {
        return ucodeHexColumn(bytes, count);
    }
    std::string column;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char code = bytes[i];
        const bool hidden = code == 0 || code == '\t' || code == '\r';
        column.push_back(hidden ? kPlaceholder : static_cast<char>(code));
    }
    return reading == Reading::Dos ? oemToAnsi(std::move(column)) : column;
}

}  // namespace

std::string offsetLabel(std::uint64_t offset) {
    char label[24];
    std::snprintf(label, sizeof label, "%08" PRIX64, offset);
    return label;
}

std::string hexLine(const unsigned char* bytes, std::size_t count, std::uint64_t offset, Reading reading) {
    std::string line = offsetLabel(offset) + ": ";
    for (std::size_t i = 0; i < count; ++i) {
        line.push_back(kDigits[bytes[i] >> 4]);
        line.push_back(kDigits[bytes[i] & 0xF]);
        line.push_back(i == 7 ? '|' : ' ');
    }
    line.append(kHexFieldWidth - 3 * count, ' ');
    line.append("| ");
    line.append(characterColumn(bytes, count, reading));
    return line;
}

QString hexPageForDisplay(const unsigned char* bytes, std::size_t count, std::uint64_t offset,
                          Reading reading) {
    QString page;
    for (std::size_t done = 0; done < count; done += kHexLineBytes) {
        const std::size_t length = std::min(kHexLineBytes, count - done);
        if (done > 0) {
            page.append(QLatin1Char('\n'));
        }
        page.append(lineForDisplay(hexLine(bytes + done, length, offset + done, reading)));
    }
    return page;
}
