#include <gtest/gtest.h>

#include "search/SearchRun.h"

struct ComposeCase {
    const char* name;
    const char* extension;
    const char* mask;
    bool containedRule;
    const char* containedText;
};

class ComposeMaskTest : public testing::TestWithParam<ComposeCase> {};

TEST_P(ComposeMaskTest, Composes) {
    const ComposeCase& c = GetParam();
    const ComposedMask composed = composeMask(QString::fromUtf8(c.name), QString::fromUtf8(c.extension));
    EXPECT_EQ(composed.mask, c.mask);
    EXPECT_EQ(composed.containedNameRule, c.containedRule);
    EXPECT_EQ(composed.containedText, c.containedText);
}

INSTANTIATE_TEST_SUITE_P(Masks, ComposeMaskTest,
                         testing::Values(ComposeCase{"*", "*", "*.*", false, ""},
                                         ComposeCase{"abc", "*", "abc.*", false, ""},
                                         ComposeCase{"*", "txt", "*.txt", false, ""},
                                         ComposeCase{"*abc", "txt", "*.txt", true, "abc"},
                                         ComposeCase{" *abc ", "*", "*.*", true, "abc"},
                                         ComposeCase{"* ", "*", "*.*", false, ""},
                                         ComposeCase{"\t*\n", " txt ", "*.txt", false, ""},
                                         ComposeCase{"", "doc", ".doc", false, ""},
                                         ComposeCase{"отчёт", "", "отчёт.", false, ""}));

struct ContainedCase {
    const char* path;
    std::size_t extensionLength;
    const char* contained;
    bool found;
};

class ContainedNameTest : public testing::TestWithParam<ContainedCase> {};

TEST_P(ContainedNameTest, Decides) {
    const ContainedCase& c = GetParam();
    EXPECT_EQ(containsName(c.path, c.extensionLength, c.contained), c.found)
        << c.path << " / " << c.contained;
}

INSTANTIATE_TEST_SUITE_P(
    Rule, ContainedNameTest,
    testing::Values(
        // The path less its last character (the length of "*"): "readme" loses its "e", "readme.txt" does
        // not.
        ContainedCase{"/docs/readme", 1, "me", false}, ContainedCase{"/docs/readme.txt", 1, "me", true},
        // Latin letters without regard to case; the folder part counts too.
        ContainedCase{"/x/ABC/file", 1, "abc", true}, ContainedCase{"/x/abc/file", 1, "ABC", true},
        // Cyrillic letters are compared as they stand.
        ContainedCase{"/x/Отчёт.doc", 1, "отчёт", false}, ContainedCase{"/x/отчёт.doc", 1, "отчёт", true},
        // The cut counts characters, so a Cyrillic extension is cut whole.
        ContainedCase{"/x/a.док", 3, "док", false}, ContainedCase{"/x/a.док", 3, "a.", true},
        ContainedCase{"/ab", 10, "a", false}, ContainedCase{"/ab", 0, "", false}));
