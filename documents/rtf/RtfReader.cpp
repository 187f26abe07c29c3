#include "documents/rtf/RtfReader.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "documents/DocumentFailure.h"
#include "documents/rtf/RtfCodePage.h"

namespace {

constexpr std::size_t kDeepestNesting = 1000;
constexpr std::size_t kLongestWord = 32;
constexpr int kLongestParameter = 10;
constexpr std::size_t kMostFonts = 4096;

bool isLetter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int hexValue(unsigned char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

void RtfReader::feed(const char* data, std::size_t size) {
    for (std::size_t i = 0; i < size && state_ != State::Done; ++i) {
        take(static_cast<unsigned char>(data[i]));
    }
}

void RtfReader::finish() {
    if (state_ == State::Word || state_ == State::Parameter) {
        endWord();
    }
    while (!groups_.empty()) {
        closeGroup();
    }
    state_ = State::Done;
}

void RtfReader::take(unsigned char c) {
    switch (state_) {
        case State::BeforeDocument:
            if (c == '{') {
                state_ = State::Text;
                openGroup();
                blocks_.open();
            }
            return;
        case State::Done:
            return;
        case State::Binary:
            if (--binaryLeft_ == 0) {
                state_ = State::Text;
            }
            return;
        case State::Escape:
            if (isLetter(c)) {
                word_.assign(1, static_cast<char>(c));
                negative_ = hasParameter_ = false;
                parameter_ = 0;
                state_ = State::Word;
            } else if (c == '\'') {
                hexDigits_ = hexValue_ = 0;
                state_ = State::Hex;
            } else {
                state_ = State::Text;
                controlSymbol(c);
            }
            return;
        case State::Word:
            if (isLetter(c)) {
                if (word_.size() <= kLongestWord) {
                    word_ += static_cast<char>(c);
                }
                return;
            }
            if (c == '-' || (c >= '0' && c <= '9')) {
                negative_ = c == '-';
                hasParameter_ = c != '-';
                parameter_ = c == '-' ? 0 : c - '0';
                parameterDigits_ = hasParameter_ ? 1 : 0;
                state_ = State::Parameter;
                return;
            }
            break;
        case State::Parameter:
            if (c >= '0' && c <= '9') {
                hasParameter_ = true;
                if (parameterDigits_++ < kLongestParameter) {
                    parameter_ = parameter_ * 10 + (c - '0');
                }
                return;
            }
            break;
        case State::Hex: {
            const int digit = hexValue(c);
            if (digit >= 0) {
                hexValue_ = hexValue_ * 16 + digit;
                if (++hexDigits_ == 2) {
                    state_ = State::Text;
                    if (fallbackLeft_ > 0) {
                        --fallbackLeft_;
                    } else if (writing()) {
                        put(decodeCodePageByte(codePage(), static_cast<unsigned char>(hexValue_)));
                    }
                }
                return;
            }
            state_ = State::Text;  // a broken \'h: the byte is read as text
            text(c);
            return;
        }
        case State::Text:
            text(c);
            return;
    }
    // A control word ended at `c`: a blank ends it and is part of it, anything else is read again (after
    // \bin, as the first byte of the data).
    endWord();
    if (c != ' ') {
        take(c);
    }
}

void RtfReader::text(unsigned char c) {
    switch (c) {
        case '{':
            fallbackLeft_ = 0;
            openGroup();
            return;
        case '}':
            fallbackLeft_ = 0;
            closeGroup();
            return;
        case '\\':
            state_ = State::Escape;
            return;
        case '\r':
        case '\n':
            return;
        default:
            break;
    }
    if (fallbackLeft_ > 0) {
        --fallbackLeft_;
    } else if (writing() && (c >= 0x20 || c == '\t')) {
        put(decodeCodePageByte(codePage(), c));
    }
}

void RtfReader::openGroup() {
    if (groups_.size() >= kDeepestNesting) {
        throw DocumentUnreadable("RTF: группы вложены слишком глубоко");
    }
    Group group = groups_.empty() ? Group{} : groups_.back();
    group.story = false;
    groups_.push_back(group);
    starred_ = false;
}

void RtfReader::closeGroup() {
    if (groups_.empty()) {
        return;
    }
    if (groups_.back().story) {
        blocks_.close();
    }
    groups_.pop_back();
    starred_ = false;
    if (groups_.empty()) {
        blocks_.close();
        state_ = State::Done;
    }
}

void RtfReader::endWord() {
    state_ = State::Text;
    const std::int64_t value = negative_ ? -parameter_ : parameter_;
    const int parameter = static_cast<int>(std::clamp<std::int64_t>(value, -2147483647, 2147483647));
    controlWord(word_.size() > kLongestWord ? std::string_view() : std::string_view(word_), hasParameter_,
                parameter);
}

bool RtfReader::writing() const {
    return !groups_.empty() && !groups_.back().skip && !groups_.back().fontTable;
}

void RtfReader::put(char32_t ch) {
    if (highSurrogate_ != 0) {  // a high surrogate not followed by its low one
        highSurrogate_ = 0;
        blocks_.append(U'\uFFFD');
    }
    blocks_.append(ch);
}

void RtfReader::putUnicode(int parameter) {
    const char16_t unit = static_cast<char16_t>(parameter < 0 ? parameter + 65536 : parameter);
    if (unit >= 0xD800 && unit < 0xDC00) {
        if (highSurrogate_ != 0) {
            blocks_.append(U'\uFFFD');
        }
        highSurrogate_ = unit;
        return;
    }
    if (unit >= 0xDC00 && unit < 0xE000) {
        const char16_t high = highSurrogate_;
        highSurrogate_ = 0;
        blocks_.append(high != 0 ? 0x10000 + ((char32_t(high) - 0xD800) << 10) + (unit - 0xDC00) : U'\uFFFD');
        return;
    }
    put(unit);
}

int RtfReader::codePage() const {
    const int font = groups_.back().font >= 0 ? groups_.back().font : defaultFont_;
    const auto found = fonts_.find(font);
    if (found != fonts_.end()) {
        if (found->second.codePage > 0) {
            return found->second.codePage;
        }
        const int fromCharset = codePageOfCharset(found->second.charset);
        if (fromCharset > 0) {
            return fromCharset;
        }
    }
    return documentCodePage_;
}

void RtfReader::controlWord(std::string_view word, bool hasParameter, int parameter) {
    if (groups_.empty()) {
        return;
    }
    Group& group = groups_.back();
    const bool starred = starred_;
    starred_ = false;
    const RtfWordMeaning meaning = meaningOf(word);
    if (meaning.kind == RtfWord::Binary) {
        if (hasParameter && parameter > 0) {
            binaryLeft_ = static_cast<std::uint64_t>(parameter);
            state_ = State::Binary;
        }
        return;
    }
    if (fallbackLeft_ > 0) {
        --fallbackLeft_;
        return;
    }
    if (group.fontTable) {
        readFontTableWord(group, meaning.kind, starred, parameter);
        return;
    }
    if (meaning.kind == RtfWord::FontTable) {
        group.fontTable = true;
        return;
    }
    const bool keptWhenStarred = meaning.kind == RtfWord::Story || meaning.kind == RtfWord::ShapeInstructions;
    if ((starred && !keptWhenStarred) || meaning.kind == RtfWord::Skipped) {
        group.skip = true;
        return;
    }
    if (group.skip) {
        return;
    }
    switch (meaning.kind) {
        case RtfWord::Story:
            group.story = true;
            blocks_.open();
            break;
        case RtfWord::AnsiCodePage:
            if (parameter > 0) {
                documentCodePage_ = parameter;
            }
            break;
        case RtfWord::DefaultFont:
            defaultFont_ = parameter;
            break;
        case RtfWord::Font:
            group.font = parameter;
            break;
        case RtfWord::Plain:
            group.font = -1;
            break;
        case RtfWord::UnicodeFallback:
            group.fallback = std::clamp(parameter, 0, 255);
            break;
        case RtfWord::Unicode:
            putUnicode(parameter);
            fallbackLeft_ = group.fallback;
            break;
        case RtfWord::BlockEnd:
            blocks_.breakBlock();
            break;
        case RtfWord::Character:
            put(meaning.character);
            break;
        default:
            break;
    }
}

// Inside the font table only the fonts' numbers and code pages are read; any other destination is skipped.
void RtfReader::readFontTableWord(Group& group, RtfWord kind, bool starred, int parameter) {
    if (kind == RtfWord::Font && fonts_.size() < kMostFonts) {
        definedFont_ = parameter;
        fonts_[definedFont_];
    } else if (kind == RtfWord::FontCharset && fonts_.count(definedFont_)) {
        fonts_[definedFont_].charset = parameter;
    } else if (kind == RtfWord::FontCodePage && fonts_.count(definedFont_)) {
        fonts_[definedFont_].codePage = parameter;
    } else if (starred || kind == RtfWord::Skipped || kind == RtfWord::FontTable) {
        group.skip = true;
    }
}

void RtfReader::controlSymbol(unsigned char symbol) {
    if (symbol == '*') {
        starred_ = true;
        return;
    }
    if (fallbackLeft_ > 0) {
        --fallbackLeft_;
        return;
    }
    if (!writing()) {
        return;
    }
    switch (symbol) {
        case '\\':
        case '{':
        case '}':
            put(symbol);
            break;
        case '~':
            put(U'\u00A0');
            break;
        case '-':
            put(U'\u00AD');
            break;
        case '_':
            put(U'-');
            break;
        case '\r':
        case '\n':
            blocks_.breakBlock();
            break;
        default:
            break;
    }
}
