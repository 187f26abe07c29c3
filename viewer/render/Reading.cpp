#include "viewer/render/Reading.h"

#include "platform/text/CodePages.h"

Reading readingOf(const QString& caption) {
    if (caption == QLatin1String("DOS")) {
        return Reading::Dos;
    }
    if (caption == QLatin1String("UCODE")) {
        return Reading::Ucode;
    }
    if (caption == QLatin1String("UTF-8")) {
        return Reading::Utf8;
    }
    return Reading::Win;
}

const QString kFirstOtherReadings = QStringLiteral("UTF-8 UCODE DOS");

ReadingCaptions nextReading(const QString& caption) {
    switch (readingOf(caption)) {
        case Reading::Win:
            return {QStringLiteral("DOS"), QStringLiteral("WIN UTF-8 UCODE")};
        case Reading::Dos:
            return {QStringLiteral("UCODE"), QStringLiteral("DOS WIN UTF-8")};
        case Reading::Ucode:
            return {QStringLiteral("UTF-8"), QStringLiteral("UCODE DOS WIN")};
        case Reading::Utf8:
            break;
    }
    return {QStringLiteral("WIN"), kFirstOtherReadings};
}

std::string oemToAnsi(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(codepage::oemToAnsi(static_cast<unsigned char>(c)));
    }
    return text;
}
