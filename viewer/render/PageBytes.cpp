#include "viewer/render/PageBytes.h"

#include <algorithm>

PageBytes PageBytes::part(std::size_t offset, std::size_t length) const {
    return {first + offset, length, std::min(kCutCharacterBytes, before + offset),
            std::min(kCutCharacterBytes, count - offset - length + after)};
}
