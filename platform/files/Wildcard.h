#pragma once
// Name masks with the wildcard rules users know from Windows: case-insensitive, "*" for any run of
// characters,
// "?" for exactly one; "*.*" matches every name; "name.*" also matches "name"; "name." also matches names
// without a dot that fit "name".

#include <string>
#include <string_view>

class WildcardMask {
  public:
    explicit WildcardMask(std::string_view maskUtf8);

    bool matches(std::string_view name) const;

  private:
    enum class Extra { None, WithoutExtension, WithoutDot };

    std::u32string pattern_;
    std::u32string stem_;  // the part before a trailing ".*" or "."
    Extra extra_ = Extra::None;
    bool matchesEverything_ = false;
};

// Characters of a name for comparison: the characters it is shown as (ShownName), case-folded.
std::u32string foldedCharacters(std::string_view bytes);
void foldInto(std::string_view bytes, std::u32string& out);

// Whether `containedUtf8` occurs in `bytes` less its last `cutCharacters` characters, both compared as the
// masks compare: by the characters shown, case-folded, with "*" and "?" in the contained text as wildcards.
// An empty contained text occurs nowhere.
bool occursIn(std::string_view bytes, std::size_t cutCharacters, std::string_view containedUtf8);
