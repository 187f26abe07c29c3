#pragma once
// A typed text as the bytes it takes in the encodings files hold, each character with its case forms.

#include <optional>
#include <string>
#include <vector>

enum class TextEncoding { Win1251, Cp866, Utf8, Utf16le };

// The bytes of one character in an encoding, or nothing when the encoding has no such character.
std::optional<std::string> encodeCharacter(char32_t ch, TextEncoding encoding);

// One character of a text in one encoding: the byte sequences that stand for it, the character itself first,
// then its Unicode simple upper and lower case forms where the encoding has them, each once. The sequences
// may differ in length (UTF-8 "ı" and "I").
using CharacterForms = std::vector<std::string>;
using TextForm = std::vector<CharacterForms>;

// The form of a text in an encoding, or nothing when one of its characters is not in the encoding (such a
// text cannot stand in a file of that encoding).
std::optional<TextForm> textForm(const std::u32string& text, TextEncoding encoding);
