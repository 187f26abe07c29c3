// The folder chooser through its widgets, on a temporary tree.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <memory>
#include <set>

#include "TestSupport.h"
#include "chooser/DirectoryListBox.h"
#include "chooser/FB1.h"
#include "platform/files/FileError.h"
#include "search/FS1.h"

namespace {

// The system's reader, except that the folders in `failing` cannot be read.
class ReaderWithFailures : public SubfolderReader {
  public:
    std::vector<std::string> read(const std::string& folder) override {
        if (failing.count(folder) != 0) {
            throw FileError("Не удалось открыть папку", folder, EACCES);
        }
        return systemSubfolderReader().read(folder);
    }
    std::set<std::string> failing;
};

class ChooserTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root = tree.path().toStdString();
        for (const char* folder : {"/a", "/a/inner", "/b", "/b/deep", "/.hidden"}) {
            ASSERT_EQ(mkdir((root + folder).c_str(), 0700), 0);
        }
        savedSearch = FILESCH;
        search = std::make_unique<TFILESCH>();
        FILESCH = search.get();
        chooser = std::make_unique<TFB>(reader, [this] {
            return std::vector<std::string>{"/", root + "/a", root + "/b"};
        });
        list = chooser->DirectoryListBox1;
        ASSERT_TRUE(list->tryEnter(root));
        search->Edit1->setText(QStringLiteral("typed"));
    }
    void TearDown() override { FILESCH = savedSearch; }

    QTreeWidgetItem* row(const std::string& path) {
        for (QTreeWidgetItemIterator it(list); *it != nullptr; ++it) {
            if ((*it)->data(0, Qt::UserRole).toByteArray().toStdString() == path) {
                return *it;
            }
        }
        ADD_FAILURE() << "no row for " << path;
        return nullptr;
    }
    QPoint centreOf(const std::string& path) { return list->visualItemRect(row(path)).center(); }
    void doubleClick(const std::string& path) {
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centreOf(path));
    }
    void click(const std::string& path) {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, centreOf(path));
    }
    void pickDrive(int index) {
        chooser->DriveComboBox1->setCurrentIndex(index);
        emit chooser->DriveComboBox1->activated(index);
    }
    QString edit1() const { return search->Edit1->text(); }
    QString q(const std::string& bytes) const { return QString::fromStdString(bytes); }

    QTemporaryDir tree;
    std::string root;
    ReaderWithFailures reader;
    RecordingMessages messages;
    TFILESCH* savedSearch = nullptr;
    std::unique_ptr<TFILESCH> search;
    std::unique_ptr<TFB> chooser;
    DirectoryListBox* list = nullptr;
};

TEST_F(ChooserTest, DoubleClickEntersAndWritesTheFolder) {
    doubleClick(root + "/a");
    EXPECT_EQ(list->folder(), root + "/a");
    EXPECT_EQ(edit1(), q(root + "/a"));
    doubleClick(root + "/a/inner");
    EXPECT_EQ(edit1(), q(root + "/a/inner"));
    doubleClick(root);  // up the chain
    EXPECT_EQ(edit1(), q(root));
    EXPECT_TRUE(messages.texts().empty());
}

TEST_F(ChooserTest, EnterOnTheSelectedRowEnters) {
    list->setFocus();
    list->setCurrentItem(row(root + "/b"));
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(list->folder(), root + "/b");
    EXPECT_EQ(edit1(), q(root + "/b"));
    list->setCurrentItem(row(root + "/b/deep"));
    QTest::keyClick(list, Qt::Key_Enter);
    EXPECT_EQ(edit1(), q(root + "/b/deep"));
}

TEST_F(ChooserTest, SingleClickOnlySelects) {
    click(root + "/a");
    EXPECT_EQ(list->currentItem(), row(root + "/a"));
    EXPECT_EQ(list->folder(), root);
    EXPECT_EQ(edit1(), QStringLiteral("typed"));
}

TEST_F(ChooserTest, ShowsTheChainAndLeavesHiddenFoldersOut) {
    std::vector<std::string> paths;
    for (QTreeWidgetItemIterator it(list); *it != nullptr; ++it) {
        paths.push_back((*it)->data(0, Qt::UserRole).toByteArray().toStdString());
    }
    ASSERT_GE(paths.size(), 3u);
    EXPECT_EQ(paths.front(), "/");
    EXPECT_EQ(std::vector<std::string>(paths.end() - 3, paths.end()),
              (std::vector<std::string>{root, root + "/a", root + "/b"}));
    EXPECT_TRUE(list->currentItem()->font(0).bold());
}

TEST_F(ChooserTest, TheRootIsWrittenWithItsSlash) {
    doubleClick("/");
    EXPECT_EQ(list->folder(), "/");
    EXPECT_EQ(edit1(), QStringLiteral("/"));
}

TEST_F(ChooserTest, ExitWritesTheFolderAgainAndHides) {
    chooser->show();
    doubleClick(root + "/a");
    search->Edit1->setText(QStringLiteral("typed after"));
    QTest::mouseClick(chooser->Button1, Qt::LeftButton);
    EXPECT_EQ(edit1(), q(root + "/a"));
    EXPECT_FALSE(chooser->isVisible());
}

TEST_F(ChooserTest, TheCloseBoxLeavesTheTypedText) {
    chooser->show();
    doubleClick(root + "/a");
    search->Edit1->setText(QStringLiteral("typed after"));
    chooser->close();
    EXPECT_EQ(edit1(), QStringLiteral("typed after"));
    EXPECT_FALSE(chooser->isVisible());
    chooser->show();
    EXPECT_EQ(list->folder(), root + "/a");
}

TEST_F(ChooserTest, AFolderRemovedAfterTheListWasBuiltShowsWhyAndChangesNothing) {
    ASSERT_EQ(rmdir((root + "/b/deep").c_str()), 0);
    ASSERT_EQ(rmdir((root + "/b").c_str()), 0);
    doubleClick(root + "/b");
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_TRUE(messages.texts()[0].contains(q(root + "/b"))) << messages.texts()[0].toStdString();
    EXPECT_TRUE(messages.texts()[0].contains(QStringLiteral("No such file or directory")));
    EXPECT_EQ(list->folder(), root);
    EXPECT_EQ(edit1(), QStringLiteral("typed"));
}

TEST_F(ChooserTest, AnUnreadableFolderShowsWhyAndChangesNothing) {
    reader.failing.insert(root + "/a");
    list->setFocus();
    list->setCurrentItem(row(root + "/a"));
    QTest::keyClick(list, Qt::Key_Return);
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_TRUE(messages.texts()[0].contains(QStringLiteral("Permission denied")));
    EXPECT_EQ(list->folder(), root);
    EXPECT_EQ(edit1(), QStringLiteral("typed"));
}

TEST_F(ChooserTest, AFolderNameThatIsNotUtf8CanBeEntered) {
    const std::string raw = root + "/raw-\xff\xfe";
    ASSERT_EQ(mkdir(raw.c_str(), 0700), 0);
    ASSERT_EQ(mkdir((raw + "/under").c_str(), 0700), 0);
    ASSERT_TRUE(list->tryEnter(root));
    doubleClick(raw);
    EXPECT_EQ(list->folder(), raw);
    doubleClick(raw + "/under");
    EXPECT_EQ(list->folder(), raw + "/under");
    EXPECT_EQ(FILESCH->startFolder(), raw + "/under");  // the search gets the folder's own bytes
    EXPECT_TRUE(messages.texts().empty());
}

TEST_F(ChooserTest, EachDriveGoesBackToTheFolderLastEnteredOnIt) {
    pickDrive(1);
    EXPECT_EQ(edit1(), q(root + "/a"));  // never entered: its root
    doubleClick(root + "/a/inner");
    pickDrive(2);
    EXPECT_EQ(edit1(), q(root + "/b"));
    pickDrive(1);
    EXPECT_EQ(edit1(), q(root + "/a/inner"));

    // A remembered folder that has gone: the error, nothing written, and the next pick reaches the root.
    pickDrive(2);
    ASSERT_EQ(rmdir((root + "/a/inner").c_str()), 0);
    pickDrive(1);
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_EQ(edit1(), q(root + "/b"));
    EXPECT_EQ(list->folder(), root + "/b");
    EXPECT_EQ(chooser->DriveComboBox1->currentIndex(), 1);
    pickDrive(1);
    EXPECT_EQ(edit1(), q(root + "/a"));
}

TEST_F(ChooserTest, ADriveThatCannotBeReadLeavesEverything) {
    reader.failing.insert(root + "/b");
    pickDrive(2);
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_EQ(list->folder(), root);
    EXPECT_EQ(edit1(), QStringLiteral("typed"));
    EXPECT_EQ(chooser->DriveComboBox1->currentIndex(), 2);
}

TEST(ChooserWindow, OffersThisMachinesMountsAndOpensFromTheSearchWindow) {
    TFILESCH* const savedSearch = FILESCH;
    TFB* const savedChooser = FB;
    TFILESCH search;
    TFB chooser;
    FILESCH = &search;
    FB = &chooser;

    const std::vector<std::string> roots = mountedRoots();
    ASSERT_EQ(chooser.DriveComboBox1->count(), static_cast<int>(roots.size()));
    for (int i = 0; i < chooser.DriveComboBox1->count(); ++i) {
        EXPECT_EQ(chooser.DriveComboBox1->itemText(i).toStdString(), roots[static_cast<std::size_t>(i)]);
    }
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    EXPECT_EQ(chooser.DirectoryListBox1->folder(), here);
    EXPECT_EQ(chooser.DriveComboBox1->currentText().toStdString(), rootHolding(roots, here));

    search.Edit1->setText(QStringLiteral("typed"));
    search.SpeedButton2->click();
    EXPECT_TRUE(chooser.isVisible());
    EXPECT_FALSE(chooser.isModal());
    search.SpeedButton2->click();
    EXPECT_TRUE(chooser.isVisible());
    EXPECT_EQ(search.Edit1->text(), QStringLiteral("typed"));

    FILESCH = savedSearch;
    FB = savedChooser;
}

}  // namespace
