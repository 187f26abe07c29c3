#pragma once
// The UCODE reading: the file as little-endian 16-bit units, reduced to Windows-1251 characters. Units of the
// Cyrillic block U+0400..U+04FF become one character ((lo + 176) mod 256, so А..я land on 0xC0..0xFF), units
// U+0001..U+00FF their low byte, and any other unit its two bytes, low byte first. A byte-order mark is not
// recognised.

#include <cstddef>
#include <cstdint>
#include <string>

// Fills `units` with count div 2 units from `bytes`, low byte first; a final odd byte is left out.
void unitsFromBytes(const unsigned char* bytes, std::size_t count, std::uint16_t* units);

// Text of `count` units: a NUL unit shows nothing and a CR unit ends the line (with the LF unit that usually
// follows it, one line end); in a two-byte unit a NUL or TAB byte shows as the placeholder.
std::string ucodeText(const std::uint16_t* units, std::size_t count);

// The character column of a hex line in the UCODE reading: one or two characters per unit, NUL and TAB shown
// as the characters they are. A line with an odd number of bytes shows its last byte, half a unit, as the
// placeholder.
std::string ucodeHexColumn(const unsigned char* bytes, std::size_t count);
