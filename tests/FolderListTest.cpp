#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <fstream>

#include "chooser/FolderList.h"
#include "chooser/SubfolderReader.h"
#include "platform/files/FileError.h"

namespace {

using Kind = FolderRow::Kind;

struct Shown {
    std::string path;
    std::string name;
    Kind kind;
    int depth;
    bool operator==(const Shown& other) const {
        return path == other.path && name == other.name && kind == other.kind && depth == other.depth;
    }
};

std::ostream& operator<<(std::ostream& out, const Shown& row) {
    return out << row.path << " [" << row.name << "] kind " << static_cast<int>(row.kind) << " depth "
               << row.depth;
}

std::vector<Shown> shown(const FolderList& list) {
    std::vector<Shown> rows;
    for (const FolderRow& row : list.rows()) {
        rows.push_back({row.path, row.name, row.kind, row.depth});
    }
    return rows;
}

// A reader with fixed contents; a folder it does not know fails as the system would.
class FixedReader : public SubfolderReader {
  public:
    std::vector<std::string> read(const std::string& folder) override {
        const auto found = folders.find(folder);
        if (found == folders.end()) {
            throw FileError("Не удалось открыть папку", folder, EACCES);
        }
        return found->second;
    }
    std::map<std::string, std::vector<std::string>> folders;
};

TEST(FolderList, ShowsTheChainThenSubfoldersSortedWithoutCaseHiddenLeftOut) {
    FixedReader reader;
    reader.folders["/"] = {"usr", "home"};
    reader.folders["/home/ann"] = {"b", ".cache", "Zeta", "alpha", "Бета", "альфа", "B", "\xff\x01", "a b"};
    FolderList list(reader);

    list.enter("/home/ann");
    EXPECT_EQ(list.current(), "/home/ann");
    const std::vector<Shown> expected = {
        {"/", "/", Kind::Open, 0},
        {"/home", "home", Kind::Open, 1},
        {"/home/ann", "ann", Kind::Current, 2},
        {"/home/ann/a b", "a b", Kind::Closed, 3},
        {"/home/ann/alpha", "alpha", Kind::Closed, 3},
        {"/home/ann/B", "B", Kind::Closed, 3},
        {"/home/ann/b", "b", Kind::Closed, 3},
        {"/home/ann/Zeta", "Zeta", Kind::Closed, 3},
        {"/home/ann/альфа", "альфа", Kind::Closed, 3},
        {"/home/ann/Бета", "Бета", Kind::Closed, 3},
        {"/home/ann/\xff\x01", "\xff\x01", Kind::Closed, 3},
    };
    EXPECT_EQ(shown(list), expected);

    list.enter("/");
    EXPECT_EQ(list.current(), "/");
    const std::vector<Shown> root = {
        {"/", "/", Kind::Current, 0},
        {"/home", "home", Kind::Closed, 1},
        {"/usr", "usr", Kind::Closed, 1},
    };
    EXPECT_EQ(shown(list), root);
}

TEST(FolderList, AFolderThatCannotBeReadChangesNothing) {
    FixedReader reader;
    reader.folders["/"] = {"locked"};
    FolderList list(reader);
    list.enter("/");
    const std::vector<Shown> before = shown(list);
    try {
        list.enter("/locked");
        FAIL() << "entering an unreadable folder must fail";
    } catch (const FileError& failure) {
        EXPECT_EQ(failure.path(), "/locked");
        EXPECT_NE(std::string(failure.what()).find("Permission denied"), std::string::npos) << failure.what();
    }
    EXPECT_EQ(list.current(), "/");
    EXPECT_EQ(shown(list), before);
}

TEST(NormalFolder, HoldsTheRootAsSlashAndOthersWithoutATrailingSlash) {
    const std::pair<std::string, std::string> cases[] = {
        {"/", "/"}, {"//", "/"}, {"", "/"}, {"/a/", "/a"}, {"/a//b///", "/a/b"}, {"/a b/c:d", "/a b/c:d"},
    };
    for (const auto& [given, expected] : cases) {
        EXPECT_EQ(normalFolder(given), expected) << given;
    }
}

TEST(SystemSubfolderReader, ListsFoldersAndLinksToFoldersOnly) {
    QTemporaryDir tree;
    const std::string root = tree.path().toStdString();
    for (const char* folder : {"/sub", "/.hidden", "/\xff-raw"}) {
        ASSERT_EQ(mkdir((root + folder).c_str(), 0700), 0);
    }
    std::ofstream(root + "/file.txt") << "x";
    ASSERT_EQ(symlink((root + "/sub").c_str(), (root + "/to-sub").c_str()), 0);
    ASSERT_EQ(symlink((root + "/file.txt").c_str(), (root + "/to-file").c_str()), 0);
    ASSERT_EQ(symlink((root + "/nowhere").c_str(), (root + "/dangling").c_str()), 0);

    std::vector<std::string> names = systemSubfolderReader().read(root);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{".hidden", "sub", "to-sub", "\xff-raw"}));

    try {
        systemSubfolderReader().read(root + "/gone");
        FAIL() << "a missing folder must fail";
    } catch (const FileError& failure) {
        EXPECT_EQ(failure.path(), root + "/gone");
        EXPECT_NE(std::string(failure.what()).find("No such file or directory"), std::string::npos);
    }
}

}  // namespace
