#include "platform/text/Utf8Sequence.h"

std::size_t utf8SequenceAt(std::string_view bytes, std::size_t pos, char32_t& ch) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = at(pos);
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        ch = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, ch = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, ch = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, ch = lead & 0x07, minimum = 0x10000;
    } else {
        return 0;
    }
    if (pos + length > bytes.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (!isUtf8Continuation(at(pos + i))) {
            return 0;
        }
        ch = (ch << 6) | (at(pos + i) & 0x3F);
    }
    const bool surrogate = ch >= 0xD800 && ch <= 0xDFFF;
    return (ch < minimum || ch > 0x10FFFF || surrogate) ? 0 : length;
}
