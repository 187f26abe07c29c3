#include <gtest/gtest.h>

#include "FakeFileSystem.h"
#include "search/SearchForm.h"
#include "search/SearchRun.h"
#include "search/results/FoundLines.h"
#include "search/walk/FolderCollection.h"

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
        // Without regard to case, Latin and Cyrillic alike, by the characters shown; the folder part counts
        // too.
        ContainedCase{"/x/ABC/file", 1, "abc", true}, ContainedCase{"/x/abc/file", 1, "ABC", true},
        ContainedCase{"/x/Отчёт.doc", 1, "отчёт", true},
        ContainedCase{"/x/Договор аренды.txt", 1, "ДОГОВОР", true},
        ContainedCase{"/x/\xC4\xEE\xE3\xEE\xE2\xEE\xF0.txt", 1, "договор", true},  // Windows-1251
        // "*" and "?" are wildcards: ‹*договор*› finds the text anywhere, folders included.
        ContainedCase{"/x/Договор аренды.txt", 1, "договор*", true},
        ContainedCase{"/Договоры/2001/a.txt", 3, "договор*", true},
        ContainedCase{"/x/a.txt", 1, "договор*", false}, ContainedCase{"/x/ABC.txt", 1, "a?c*", true},
        ContainedCase{"/x/ac.txt", 1, "a?c*", false}, ContainedCase{"/docs/readme", 1, "me*", false},
        // The cut counts the characters shown, so a Cyrillic extension is cut whole, in either encoding.
        ContainedCase{"/x/a.док", 3, "док", false}, ContainedCase{"/x/a.док", 3, "a.", true},
        ContainedCase{"/x/a.\xE4\xEE\xEA", 3, "a.", true}, ContainedCase{"/x/a.\xE4\xEE\xEA", 3, "д", false},
        ContainedCase{"/ab", 10, "a", false}, ContainedCase{"/ab", 0, "", false}));

namespace {

// The collection needs only the stop flag and the counters' sinks.
class QuietForm : public SearchForm {
  public:
    std::string startFolder() const override { return {}; }
    QString nameText() const override { return {}; }
    QString extensionText() const override { return {}; }
    QString contentText() const override { return {}; }
    bool subfoldersWanted() const override { return true; }
    bool contentWanted() const override { return false; }
    bool dosEncodingWanted() const override { return false; }
    bool stopRequested() const override { return false; }
    void clearStopRequest() override {}
    bool windowClosed() const override { return false; }
    void setSearching(bool) override {}
    void showFoldersToSearch(std::size_t) override {}
    void showFoldersToSearchNow(std::size_t) override {}
    void showFoldersSearched(std::size_t) override {}
    void showFoundCount(std::size_t) override {}
    void showResults(FoundLines) override {}
};

}  // namespace

TEST(CollectFolders, KeepsNamesOnlyWhileTheBudgetLasts) {
    FakeFileSystem fs;
    fs.add("/S", {"A/", "x"});     // type, name and zero each: 6 bytes
    fs.add("/S/A", {"B/", "yy"});  // 7 bytes
    fs.add("/S/A/B", {"z"});       // 3 bytes
    QuietForm form;
    struct BudgetCase {
        std::size_t budget;
        std::vector<bool> kept;
    } cases[] = {{kKeptNamesBudget, {true, true, true}},
                 {6, {true, false, false}},
                 {9, {true, false, true}},
                 {0, {false, false, false}}};
    for (const BudgetCase& c : cases) {
        SCOPED_TRACE(c.budget);
        const FolderList folders = collectFolders("/S", fs.openFolder("/S"), form, c.budget);
        ASSERT_EQ(folders.size(), 3u);
        EXPECT_EQ(folders[0].path, "/S");
        EXPECT_EQ(folders[1].path, "/S/A");
        EXPECT_EQ(folders[2].path, "/S/A/B");
        for (std::size_t i = 0; i < folders.size(); ++i) {
            EXPECT_EQ(folders[i].listed, c.kept[i]) << i;
            EXPECT_EQ(folders[i].names.empty(), !c.kept[i]) << i;
        }
    }
}

// The root's path is the empty text, and its listing is read ahead like any other.
TEST(CollectFolders, ReadsTheRootAheadToo) {
    FakeFileSystem fs;
    fs.add("", {"a/", "x"});
    fs.add("/a", {"y"});
    QuietForm form;
    const FolderList folders = collectFolders("", fs.openFolder(""), form, kKeptNamesBudget, 2);
    ASSERT_EQ(folders.size(), 2u);
    EXPECT_EQ(folders[1].names.size(), 3u);
}

TEST(EndMessage, AddsALineForEachKindOfUnreadableEntry) {
    const QString success = QStringLiteral("Поиск успешен! Выбери то, что нужно.");
    const QString nothing = QStringLiteral("К сожалению, ничего не найдено...");
    struct Case {
        std::size_t found, files, folders, documents;
        QString text;
    } cases[] = {
        {2, 0, 0, 0, success},
        {0, 0, 3, 0, nothing + QStringLiteral("\nНе удалось прочитать папок: 3")},
        {1, 4, 0, 0, success + QStringLiteral("\nНе удалось прочитать файлов: 4")},
        {0, 5, 6, 0,
         nothing + QStringLiteral("\nНе удалось прочитать файлов: 5\nНе удалось прочитать папок: 6")},
        {1, 1, 0, 7,
         success +
             QStringLiteral("\nНе удалось прочитать файлов: 1\nНе удалось прочитать текст документов: 7")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(endMessage(c.found, c.files, c.folders, c.documents), c.text);
    }
}

TEST(FoundLines, KeepsLinesWholeAcrossBlocks) {
    const std::size_t block = std::size_t{1} << 16;
    const std::vector<std::size_t> lengths = {0, 7, block - 9, 1, block, block + 5, 3, block - 1, 2};
    FoundLines lines;
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        expected.push_back(std::string(lengths[i], static_cast<char>('a' + i)));
        lines.append(expected.back());
    }
    EXPECT_EQ(toStrings(lines), expected);
}
