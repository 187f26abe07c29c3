#include "matching/TextForms.h"

#include <QChar>
#include <algorithm>

#include "platform/text/CodePages.h"

namespace {

std::string utf8(char32_t ch) {
    std::string bytes;
    if (ch < 0x80) {
        bytes.push_back(static_cast<char>(ch));
    } else if (ch < 0x800) {
        bytes.push_back(static_cast<char>(0xC0 | (ch >> 6)));
        bytes.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else if (ch < 0x10000) {
        bytes.push_back(static_cast<char>(0xE0 | (ch >> 12)));
        bytes.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        bytes.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    } else {
        bytes.push_back(static_cast<char>(0xF0 | (ch >> 18)));
        bytes.push_back(static_cast<char>(0x80 | ((ch >> 12) & 0x3F)));
        bytes.push_back(static_cast<char>(0x80 | ((ch >> 6) & 0x3F)));
        bytes.push_back(static_cast<char>(0x80 | (ch & 0x3F)));
    }
    return bytes;
}

void appendUnit(std::string& bytes, char32_t unit) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
}

std::string utf16le(char32_t ch) {
    std::string bytes;
    if (ch < 0x10000) {
        appendUnit(bytes, ch);
    } else {
        appendUnit(bytes, 0xD800 + ((ch - 0x10000) >> 10));
        appendUnit(bytes, 0xDC00 + ((ch - 0x10000) & 0x3FF));
    }
    return bytes;
}

std::optional<std::string> oneByte(std::optional<unsigned char> code) {
    return code ? std::optional<std::string>(std::string(1, static_cast<char>(*code))) : std::nullopt;
}

}  // namespace

std::optional<std::string> encodeCharacter(char32_t ch, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Win1251:
            return oneByte(codepage::win1251Code(ch));
        case TextEncoding::Cp866:
            return oneByte(codepage::cp866Code(ch));
        case TextEncoding::Utf8:
            return utf8(ch);
        case TextEncoding::Utf16le:
            return utf16le(ch);
    }
    return std::nullopt;
}

std::optional<TextForm> textForm(const std::u32string& text, TextEncoding encoding) {
    TextForm form;
    form.reserve(text.size());
    for (const char32_t ch : text) {
        CharacterForms forms;
        for (const char32_t variant : {ch, QChar::toUpper(ch), QChar::toLower(ch)}) {
            const std::optional<std::string> bytes = encodeCharacter(variant, encoding);
            if (!bytes) {
                if (variant == ch) {
                    return std::nullopt;
                }
                continue;
            }
            if (std::find(forms.begin(), forms.end(), *bytes) == forms.end()) {
                forms.push_back(*bytes);
            }
        }
        form.push_back(std::move(forms));
    }
    return form;
}
