#include "viewer/render/HexPage.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "viewer/render/DisplayText.h"
#include "viewer/render/Ucode.h"
#include "viewer/render/Utf8.h"

namespace {

constexpr std::size_t kHexFieldWidth = kHexLineBytes * 3;
constexpr char kDigits[] = "0123456789ABCDEF";

QString characterColumn(const PageBytes& line, Reading reading) {
    if (reading == Reading::Utf8) {
        return utf8HexColumn(line);
    }
    if (reading == Reading::Ucode) {
        return lineForDisplay(ucodeHexColumn(line.first, line.count));
    }
    std::string column;
    for (std::size_t i = 0; i < line.count; ++i) {
        const unsigned char code = line.first[i];
        const bool hidden = code == 0 || code == '\t' || code == '\r';
        column.push_back(hidden ? kPlaceholder : static_cast<char>(code));
    }
    return lineForDisplay(reading == Reading::Dos ? oemToAnsi(std::move(column)) : column);
}

}  // namespace

std::string offsetLabel(std::uint64_t offset) {
    char label[24];
    std::snprintf(label, sizeof label, "%08" PRIX64, offset);
    return label;
}

QString hexLine(const PageBytes& line, std::uint64_t offset, Reading reading) {
    std::string fields = offsetLabel(offset) + ": ";
    for (std::size_t i = 0; i < line.count; ++i) {
        fields.push_back(kDigits[line.first[i] >> 4]);
        fields.push_back(kDigits[line.first[i] & 0xF]);
        fields.push_back(i == 7 ? '|' : ' ');
    }
    fields.append(kHexFieldWidth - 3 * line.count, ' ');
    fields.append("| ");
    return QString::fromLatin1(fields) + characterColumn(line, reading);
}

QString hexPageForDisplay(const PageBytes& page, std::uint64_t offset, Reading reading) {
    QString text;
    for (std::size_t done = 0; done < page.count; done += kHexLineBytes) {
        if (done > 0) {
            text.append(QLatin1Char('\n'));
        }
        text.append(
            hexLine(page.part(done, std::min(kHexLineBytes, page.count - done)), offset + done, reading));
    }
    return text;
}
