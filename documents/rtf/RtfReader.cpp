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

bool oneOf(const std::string& word, std::initializer_list<const char*> words) {
    return std::any_of(words.begin(), words.end(), [&word](const char* w) { return word == w; });
}

// Destinations whose text is no part of what the document reads.
bool skippedDestination(const std::string& word) {
    return oneOf(word, {"fonttbl",
                        "colortbl",
                        "stylesheet",
                        "info",
                        "pict",
                        "object",
                        "listtable",
                        "listoverridetable",
                        "revtbl",
                        "rsidtbl",
                        "generator",
                        "themedata",
                        "colorschememapping",
                        "datastore",
                        "latentstyles",
                        "xmlnsd",
                        "filetbl",
                        "pgdsctbl",
                        "fldinst",
                        "xe",
                        "tc",
                        "tcn",
                        "bkmkstart",
                        "bkmkend",
                        "nonshppict",
                        "shprslt",
                        "sp",
                        "pntxta",
                        "pntxtb",
                        "ftnsep",
                        "ftnsepc",
                        "aftnsep",
                        "aftnsepc",
                        "ftncn",
                        "aftncn",
                        "template",
                        "userprops",
                        "docvar",
                        "upr",
                        "falt",
                        "panose",
                        "mmathPr",
                        "wgrffmtfilter",
                        "pgptbl",
                        "protusertbl",
                        "objdata"});
}

// Destinations that are text read on their own, apart from the paragraph they stand in.
bool storyDestination(const std::string& word) {
    return oneOf(word, {"footnote", "annotation", "header", "headerl", "headerr", "headerf", "footer",
                        "footerl", "footerr", "footerf", "shptxt"});
}

// Starred destinations that hold text a reader shows (LibreOffice stars its footnotes).
bool keptStarredDestination(const std::string& word) {
    return storyDestination(word) || word == "shpinst";
}

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
    controlWord(word_.size() > kLongestWord ? std::string() : word_, hasParameter_, parameter);
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

void RtfReader::controlWord(const std::string& word, bool hasParameter, int parameter) {
    if (groups_.empty()) {
        return;
    }
    Group& group = groups_.back();
    const bool starred = starred_;
    starred_ = false;
    if (word == "bin") {
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
        if (word == "f" && fonts_.size() < kMostFonts) {
            definedFont_ = parameter;
            fonts_[definedFont_];
        } else if (word == "fcharset" && fonts_.count(definedFont_)) {
            fonts_[definedFont_].charset = parameter;
        } else if (word == "cpg" && fonts_.count(definedFont_)) {
            fonts_[definedFont_].codePage = parameter;
        } else if (starred || skippedDestination(word)) {
            group.skip = true;
        }
        return;
    }
    if (word == "fonttbl") {
        group.fontTable = true;
        return;
    }
    if ((starred && !keptStarredDestination(word)) || skippedDestination(word)) {
        group.skip = true;
        return;
    }
    if (group.skip) {
        return;
    }
    if (storyDestination(word)) {
        group.story = true;
        blocks_.open();
    } else if (word == "ansicpg" && parameter > 0) {
        documentCodePage_ = parameter;
    } else if (word == "deff") {
        defaultFont_ = parameter;
    } else if (word == "f") {
        group.font = parameter;
    } else if (word == "plain") {
        group.font = -1;
    } else if (word == "uc") {
        group.fallback = std::clamp(parameter, 0, 255);
    } else if (word == "u") {
        putUnicode(parameter);
        fallbackLeft_ = group.fallback;
    } else if (oneOf(word, {"par", "sect", "page", "cell", "nestcell", "row", "nestrow"})) {
        blocks_.breakBlock();
    } else if (word == "line") {
        put(U'\n');
    } else if (word == "tab") {
        put(U'\t');
    } else if (oneOf(word, {"emspace", "enspace", "qmspace"})) {
        put(U' ');
    } else if (word == "emdash") {
        put(U'\u2014');
    } else if (word == "endash") {
        put(U'\u2013');
    } else if (word == "bullet") {
        put(U'\u2022');
    } else if (word == "lquote") {
        put(U'\u2018');
    } else if (word == "rquote") {
        put(U'\u2019');
    } else if (word == "ldblquote") {
        put(U'\u201C');
    } else if (word == "rdblquote") {
        put(U'\u201D');
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
