#pragma once
// One UTF-8 sequence, read strictly: no overlong forms, no surrogates, nothing past U+10FFFF. Names, the name
// masks and the viewer's UTF-8 reading all decide by this one rule what is valid.

#include <cstddef>
#include <string_view>

// Whether a byte can only continue a sequence, never begin one.
inline bool isUtf8Continuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// Length of the valid UTF-8 sequence at `pos`, its character in `ch`; 0 when no valid sequence starts there.
std::size_t utf8SequenceAt(std::string_view bytes, std::size_t pos, char32_t& ch);
