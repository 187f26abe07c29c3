#pragma once
// The bytes of one page as read from the file, with the few bytes just before and just after it. The UTF-8
// reading looks at those to finish the characters the page's edges cut; the other readings use the page's own
// bytes only.

#include <cstddef>

// A UTF-8 character is at most 4 bytes long, so 3 bytes on either side finish any character an edge cuts.
constexpr std::size_t kCutCharacterBytes = 3;

struct PageBytes {
    const unsigned char* first = nullptr;  // the page's first byte
    std::size_t count = 0;                 // the page's own bytes
    std::size_t before = 0;                // bytes readable just before `first`, at most kCutCharacterBytes
    std::size_t after = 0;                 // bytes readable just after the page, at most kCutCharacterBytes

    const unsigned char* end() const { return first + count; }
    // The part of the page from `offset` on, `count` bytes long, with as much of the page and its margins
    // around it as the margins allow.
    PageBytes part(std::size_t offset, std::size_t length) const;
};
