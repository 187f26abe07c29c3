#include "viewer/render/TextPage.h"

#include "viewer/render/DisplayText.h"
#include "viewer/render/Ucode.h"
#include "viewer/render/Utf8.h"

namespace {

std::string dosConverted(std::string text, Reading reading) {
    return reading == Reading::Dos ? oemToAnsi(std::move(text)) : text;
}

}  // namespace

std::string wholeText(const unsigned char* bytes, std::size_t count, Reading reading) {
    std::string text;
    text.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char code = bytes[i];
        text.push_back(code == 0 ? kPlaceholder : static_cast<char>(code));
        if (code == '\t') {
            text.append("    ");
        }
    }
    return dosConverted(std::move(text), reading);
}

std::string textPage(const unsigned char* bytes, std::size_t count, Reading reading) {
    std::string text(reinterpret_cast<const char*>(bytes), count);
    for (char& c : text) {
        if (c == 0 || c == '\t') {
            c = kPlaceholder;
        }
    }
    return dosConverted(std::move(text), reading);
}

QString textForMemo(TextDisplay display, const PageBytes& page, const std::uint16_t* units, Reading reading) {
    switch (reading) {
        case Reading::Ucode:
            return textForDisplay(ucodeText(units, page.count / 2));
        case Reading::Utf8:
            return utf8Text(page, display);
        case Reading::Win:
        case Reading::Dos:
            break;
    }
    return textForDisplay(display == TextDisplay::Whole ? wholeText(page.first, page.count, reading)
                                                        : textPage(page.first, page.count, reading));
}
