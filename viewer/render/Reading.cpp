#include "viewer/render/Reading.h"

#include "platform/CodePages.h"

Reading readingOf(const QString& caption) {
    if (caption == QLatin1String("DOS")) {
        return Reading::Dos;
    }
    if (caption == QLatin1String("UCODE")) {
        return Reading::Ucode;
    }
    return Reading::Win;
}

ReadingCaptions nextReading(const QString& caption) {
    switch (readingOf(caption)) {
        case Reading::Win:
            return {QStringLiteral("DOS"), QStringLiteral("WIN UCODE")};
        case Reading::Dos:
            return {QStringLiteral("UCODE"), QStringLiteral("DOS WIN")};
        case Reading::Ucode:
            break;
    }
    return {QStringLiteral("WIN"), QStringLiteral("UCODE DOS")};
}

std::string oemToAnsi(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(codepage::oemToAnsi(static_cast<unsigned char>(c)));
    }
    return text;
}
