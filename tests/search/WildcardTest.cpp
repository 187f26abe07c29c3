#include <gtest/gtest.h>

#include "platform/files/Wildcard.h"

namespace {

struct MaskCase {
    const char* mask;
    const char* name;
    bool matches;
};

class WildcardTest : public testing::TestWithParam<MaskCase> {};

}  // namespace

TEST_P(WildcardTest, Matches) {
    const MaskCase& c = GetParam();
    EXPECT_EQ(WildcardMask(c.mask).matches(c.name), c.matches) << c.mask << " ~ " << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, WildcardTest,
    testing::Values(
        // "*.*" matches every name, names without a dot included.
        MaskCase{"*.*", "readme", true}, MaskCase{"*.*", ".", true}, MaskCase{"*.*", "..", true},
        MaskCase{"*.*", ".hidden", true},
        // Case-insensitive, Latin and Cyrillic alike.
        MaskCase{"*.TXT", "notes.txt", true}, MaskCase{"*.txt", "NOTES.TXT", true},
        MaskCase{"отчёт*.*", "ОТЧЁТ 2001.doc", true}, MaskCase{"*.txt", "notes.txt.bak", false},
        // "?" is exactly one character, a Cyrillic one too.
        MaskCase{"?.txt", "я.txt", true}, MaskCase{"?.txt", "ab.txt", false}, MaskCase{"a?c.*", "ac", false},
        // "name.*" also finds "name"; "name." finds names without a dot.
        MaskCase{"readme.*", "readme", true}, MaskCase{"readme.*", "readme.txt", true},
        MaskCase{"readme.*", "readm", false}, MaskCase{"*.", "Makefile", true}, MaskCase{"*.", "a.b", false},
        MaskCase{"abc.", "abc", true}, MaskCase{"abc.", "abcd", false},
        // The composed masks of the search window.
        MaskCase{"abc.*", "ABC.doc", true}, MaskCase{"*.txt", "txt", false}, MaskCase{".*", ".profile", true},
        MaskCase{".*", "profile", false},
        // Names that are not valid UTF-8 match as they are shown, decoded as Windows-1251.
        MaskCase{"*.txt", "\xCF\xF0\xE8.txt", true}, MaskCase{"отчёт*", "\xCE\xF2\xF7\xB8\xF2.doc", true},
        MaskCase{"пра*", "\xCF\xF0\xE8", false},
        // Several stars back-track correctly.
        MaskCase{"*a*b*c", "xxaxxbxxbc", true}, MaskCase{"*a*b*c", "xxaxxcxxb", false},
        MaskCase{"**", "", true}, MaskCase{"*", "", true}, MaskCase{"?", "", false}));
