#include "platform/files/Wildcard.h"

#include <QChar>
#include <algorithm>

#include "platform/text/ShownName.h"

namespace {

char32_t fold(char32_t cp) {
    if (cp < 0x80) {
        return (cp >= 'A' && cp <= 'Z') ? cp + 32 : cp;
    }
    return QChar::toCaseFolded(cp);
}

// Iterative wildcard match with one back-tracking point per star: linear for the masks users type. `at` gives
// the name's folded character at a place.
template <typename Name, typename At>
bool wildcardMatch(const std::u32string& pattern, const Name& name, At at) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starPattern = std::u32string::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] != U'*' && (pattern[p] == U'?' || pattern[p] == at(name, n))) {
            ++p, ++n;
        } else if (p < pattern.size() && pattern[p] == U'*') {
            starPattern = p++;
            starName = n;
        } else if (starPattern != std::u32string::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == U'*') {
        ++p;
    }
    return p == pattern.size();
}

bool isAscii(std::string_view bytes) {
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

// Most names are plain ASCII: they are matched in place, folding each character as it is compared. The last
// `cut` characters of the name take no part.
bool matchName(const std::u32string& pattern, std::string_view name, std::size_t cut = 0) {
    if (isAscii(name)) {
        name.remove_suffix(std::min(cut, name.size()));
        return wildcardMatch(pattern, name, [](std::string_view text, std::size_t i) {
            return fold(static_cast<unsigned char>(text[i]));
        });
    }
    thread_local std::u32string folded;
    foldInto(name, folded);
    folded.resize(folded.size() - std::min(cut, folded.size()));
    return wildcardMatch(pattern, folded, [](const std::u32string& text, std::size_t i) { return text[i]; });
}

}  // namespace

std::u32string foldedCharacters(std::string_view bytes) {
    std::u32string out;
    foldInto(bytes, out);
    return out;
}

void foldInto(std::string_view bytes, std::u32string& out) {
    shownCharacters(bytes, out);
    for (char32_t& ch : out) {
        ch = fold(ch);
    }
}

bool occursIn(std::string_view bytes, std::size_t cutCharacters, std::string_view containedUtf8) {
    if (containedUtf8.empty()) {
        return false;
    }
    thread_local std::u32string pattern;
    foldInto(containedUtf8, pattern);
    pattern.insert(pattern.begin(), U'*');
    pattern.push_back(U'*');
    return matchName(pattern, bytes, cutCharacters);
}

WildcardMask::WildcardMask(std::string_view maskUtf8) : pattern_(foldedCharacters(maskUtf8)) {
    if (pattern_ == U"*.*" || pattern_ == U"*") {
        matchesEverything_ = true;
    } else if (pattern_.size() >= 2 && pattern_.compare(pattern_.size() - 2, 2, U".*") == 0) {
        extra_ = Extra::WithoutExtension;
        stem_ = pattern_.substr(0, pattern_.size() - 2);
    } else if (!pattern_.empty() && pattern_.back() == U'.') {
        extra_ = Extra::WithoutDot;
        stem_ = pattern_.substr(0, pattern_.size() - 1);
    }
}

bool WildcardMask::matches(std::string_view name) const {
    if (matchesEverything_) {
        return true;
    }
    if (matchName(pattern_, name)) {
        return true;
    }
    switch (extra_) {
        case Extra::WithoutExtension:
            return matchName(stem_, name);
        case Extra::WithoutDot:
            return name.find('.') == std::string_view::npos && matchName(stem_, name);
        case Extra::None:
            break;
    }
    return false;
}
