#include "matching/SearchText.h"

#include <algorithm>

namespace {

std::vector<TextForm> distinctForms(const QString& typed, const std::vector<TextEncoding>& encodings) {
    const std::u32string characters = typed.toStdU32String();
    std::vector<TextForm> forms;
    if (characters.empty()) {
        return forms;
    }
    for (const TextEncoding encoding : encodings) {
        std::optional<TextForm> form = textForm(characters, encoding);
        if (form && std::find(forms.begin(), forms.end(), *form) == forms.end()) {
            forms.push_back(std::move(*form));  // a Latin text is the same in Windows-1251 and UTF-8
        }
    }
    return forms;
}

}  // namespace

SearchText::SearchText(const QString& typed, std::vector<TextEncoding> encodings)
    : typed_(typed), encodings_(std::move(encodings)), scanner_(distinctForms(typed_, encodings_)) {}

std::vector<TextEncoding> SearchText::contentEncodings(bool dos) {
    if (dos) {
        return {TextEncoding::Cp866};
    }
    return {TextEncoding::Win1251, TextEncoding::Utf8, TextEncoding::Utf16le};
}
