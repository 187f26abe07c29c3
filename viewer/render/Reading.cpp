#include "viewer/render/Reading.h"

#include <algorithm>
#include <iterator>

#include "platform/text/CodePages.h"

namespace {

// In the order of the cycle.
constexpr Reading kCycle[] = {Reading::Win, Reading::Dos, Reading::Ucode, Reading::Utf8};
constexpr int kReadings = 4;

int indexOf(Reading reading) {
    return static_cast<int>(std::find(std::begin(kCycle), std::end(kCycle), reading) - std::begin(kCycle));
}

QString captionOf(int index) {
    static const QString captions[kReadings] = {QStringLiteral("WIN"), QStringLiteral("DOS"),
                                                QStringLiteral("UCODE"), QStringLiteral("UTF-8")};
    return captions[(index + kReadings) % kReadings];
}

}  // namespace

Reading readingOf(const QString& caption) {
    for (int at = 0; at < kReadings; ++at) {
        if (captionOf(at) == caption) {
            return kCycle[at];
        }
    }
    return Reading::Win;
}

ReadingCaptions captionsOf(Reading reading) {
    const int at = indexOf(reading);
    return {captionOf(at),
            captionOf(at - 1) + QLatin1Char(' ') + captionOf(at - 2) + QLatin1Char(' ') + captionOf(at - 3)};
}

Reading nextReading(Reading reading) {
    return kCycle[(indexOf(reading) + 1) % kReadings];
}

std::string oemToAnsi(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(codepage::oemToAnsi(static_cast<unsigned char>(c)));
    }
    return text;
}
