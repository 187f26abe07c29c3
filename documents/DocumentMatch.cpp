#include "documents/DocumentMatch.h"

#include <algorithm>

#include "platform/text/Utf8Sequence.h"

namespace {

constexpr char32_t kSoftHyphen = 0x00AD;

bool isBlank(char32_t ch) {
    switch (ch) {
        case U' ':
        case U'\t':
        case U'\n':
        case U'\r':
        case U'\v':
        case U'\f':
        case 0x00A0:  // no-break space
        case 0x2007:  // figure space
        case 0x202F:  // narrow no-break space
        case 0x2028:  // line separator
        case 0x2029:  // paragraph separator
            return true;
        default:
            return false;
    }
}

// Walks a block character by character and hands on what the normalised text holds: each byte kept with its
// place, one space for each run of blanks.
template <typename Keep>
void normalise(std::string_view block, Keep keep) {
    bool inBlanks = false;
    for (std::size_t at = 0; at < block.size();) {
        char32_t ch = 0;
        const std::size_t length = std::max<std::size_t>(1, utf8SequenceAt(block, at, ch));
        if (length == 1 && static_cast<unsigned char>(block[at]) >= 0x80) {
            ch = 0xFFFD;  // a stray byte is kept as it is and ends a run of blanks
        }
        if (ch == kSoftHyphen) {
            at += length;
            continue;
        }
        if (isBlank(ch)) {
            if (!inBlanks) {
                keep(' ', at);
            }
            inBlanks = true;
        } else {
            inBlanks = false;
            for (std::size_t i = 0; i < length; ++i) {
                keep(block[at + i], at + i);
            }
        }
        at += length;
    }
}

std::u32string typedCharacters(const QString& typed) {
    std::u32string characters;
    bool inBlanks = false;
    for (const char32_t ch : typed.toStdU32String()) {
        if (ch == kSoftHyphen) {
            continue;
        }
        if (isBlank(ch)) {
            if (!inBlanks) {
                characters.push_back(U' ');
            }
            inBlanks = true;
        } else {
            inBlanks = false;
            characters.push_back(ch);
        }
    }
    return characters;
}

TextForm utf8Form(const QString& typed) {
    const std::u32string characters = typedCharacters(typed);
    std::optional<TextForm> form =
        characters.empty() ? std::nullopt : textForm(characters, TextEncoding::Utf8);
    return form ? std::move(*form) : TextForm();
}

}  // namespace

NormalisedBlock normaliseBlock(std::string_view block) {
    NormalisedBlock normalised;
    normalised.bytes.reserve(block.size());
    normalised.origins.reserve(block.size() + 1);
    normalise(block, [&normalised](char byte, std::size_t at) {
        normalised.bytes.push_back(byte);
        normalised.origins.push_back(static_cast<std::uint32_t>(at));
    });
    normalised.origins.push_back(static_cast<std::uint32_t>(block.size()));
    return normalised;
}

std::string normalisedBytes(std::string_view block) {
    std::string bytes;
    bytes.reserve(block.size());
    normalise(block, [&bytes](char byte, std::size_t) { bytes.push_back(byte); });
    return bytes;
}

DocumentQuery::DocumentQuery(const QString& typed)
    : form_(utf8Form(typed)),
      scanner_(form_.empty() ? std::vector<TextForm>{} : std::vector<TextForm>{form_}) {}

bool DocumentQuery::foundIn(const DocumentText& text) const {
    if (!findable()) {
        return false;
    }
    return std::any_of(text.blocks.begin(), text.blocks.end(), [this](const std::string& block) {
        const std::string bytes = normalisedBytes(block);
        return scanner_.find(bytes.data(), bytes.size(), bytes.size()) >= 0;
    });
}

std::optional<BlockMatch> DocumentQuery::findIn(std::string_view block, std::size_t from) const {
    if (!findable()) {
        return std::nullopt;
    }
    const NormalisedBlock normalised = normaliseBlock(block);
    const auto first = std::lower_bound(normalised.origins.begin(), normalised.origins.end() - 1, from);
    const std::size_t start = static_cast<std::size_t>(first - normalised.origins.begin());
    const std::string& bytes = normalised.bytes;
    const std::ptrdiff_t found =
        scanner_.find(bytes.data() + start, bytes.size() - start, bytes.size() - start);
    if (found < 0) {
        return std::nullopt;
    }
    const std::size_t begin = start + static_cast<std::size_t>(found);
    const std::optional<std::size_t> end = matchEnd(bytes, begin);
    if (!end) {
        return std::nullopt;
    }
    return BlockMatch{normalised.origins[begin], normalised.origins[*end - 1] + 1u};
}

// Every encoding's forms are prefix-free, so at most one sequence of a character stands at a place and the
// match's end follows without going back.
std::optional<std::size_t> DocumentQuery::matchEnd(const std::string& bytes, std::size_t at) const {
    for (const CharacterForms& character : form_) {
        const auto standing = std::find_if(
            character.begin(), character.end(),
            [&](const std::string& sequence) { return bytes.compare(at, sequence.size(), sequence) == 0; });
        if (standing == character.end()) {
            return std::nullopt;
        }
        at += standing->size();
    }
    return at;
}
