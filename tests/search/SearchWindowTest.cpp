#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "FakeFileSystem.h"
#include "SearchWindowSupport.h"
#include "TestSupport.h"
#include "app/forms.h"
#include "search/CounterRow.h"
#include "search/FS1.h"
#include "search/results/FoundLines.h"
#include "search/results/ResultsModel.h"

namespace {

const QString kSuccess = QStringLiteral("Поиск успешен! Выбери то, что нужно.");
const QString kNothing = QStringLiteral("К сожалению, ничего не найдено...");

class SearchWindowTest : public testing::Test {
  protected:
    void SetUp() override { w = searchWindowAtDefaults(); }

    // A run makes its start folder current; the temporary trees go away, so the next test starts at "/".
    void TearDown() override { ASSERT_EQ(chdir("/"), 0); }

    std::vector<std::string> results() const {
        std::vector<std::string> rows;
        for (int row = 0; row < w->ListBox1Items->rowCount(); ++row) {
            rows.push_back(w->ListBox1Items->line(row));
        }
        return rows;
    }

    void start(const std::string& folder) {
        w->Edit1->setText(QString::fromStdString(folder));
        w->Button2Click();
    }

    TFILESCH* w = nullptr;
    RecordingMessages messages;
};

using Lines = std::vector<std::string>;

}  // namespace

TEST_F(SearchWindowTest, StartsWithTheDefaults) {
    TFILESCH fresh;
    EXPECT_EQ(fresh.windowTitle(), QStringLiteral("  Поиск файлов"));
    EXPECT_EQ(fresh.Edit1->text(), QStringLiteral("/"));
    EXPECT_EQ(fresh.Edit2->text(), QStringLiteral("*"));
    EXPECT_EQ(fresh.Edit3->text(), QStringLiteral("*"));
    EXPECT_TRUE(fresh.Edit5->text().isEmpty());
    EXPECT_TRUE(fresh.Button2->isEnabled());
    EXPECT_TRUE(fresh.Button3->isEnabled());
    EXPECT_EQ(fresh.Label10->text(), QStringLiteral("0"));
    EXPECT_EQ(fresh.Label6->text(), QStringLiteral("1"));
    EXPECT_EQ(fresh.Label9->text(), QStringLiteral("0"));
    EXPECT_EQ(fresh.CheckBox2->text(), QStringLiteral("C подкаталогами "));
    EXPECT_EQ(fresh.CheckBox2->text().at(0), QLatin1Char('C'));
    EXPECT_FALSE(fresh.CheckBox1->isChecked() || fresh.CheckBox2->isChecked() ||
                 fresh.CheckBox3->isChecked());
    EXPECT_EQ(fresh.width(), 480);
    EXPECT_EQ(fresh.height(), 545);
    EXPECT_EQ(fresh.ListBox1->geometry(), QRect(8, 180, 463, 360));
    EXPECT_EQ(fresh.Button2->text(), QStringLiteral("Старт"));
    EXPECT_EQ(fresh.Button3->text(), QStringLiteral("Стоп"));
    EXPECT_FALSE(fresh.SpeedButton1->icon().isNull());
    EXPECT_FALSE(fresh.SpeedButton2->icon().isNull());
    EXPECT_FALSE(fresh.windowIcon().isNull());
    EXPECT_EQ(fresh.Edit1->font().pixelSize(), 13);
    EXPECT_TRUE(fresh.Edit1->font().bold());
    EXPECT_FALSE(fresh.Edit5->font().bold());
    EXPECT_EQ(fresh.Label2->font().pixelSize(), 16);
    EXPECT_TRUE(fresh.Label2->font().italic());

    fresh.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&fresh));
    fresh.activateWindow();
    QTest::qWait(20);
    EXPECT_TRUE(fresh.Edit1->hasFocus());
    // Tab walks the designed order from the start folder.
    const std::vector<QWidget*> order = {fresh.Button2, fresh.Edit2, fresh.Button3, fresh.Edit3,
                                         fresh.CheckBox1};
    for (QWidget* next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
}

// The list follows the window both ways, and a path longer than the list is shortened, not cut off. The
// external-viewer indicator takes no clicks.
TEST_F(SearchWindowTest, ResultListFollowsTheWindow) {
    TFILESCH fresh;
    fresh.show();
    fresh.resize(700, 600);
    EXPECT_EQ(fresh.ListBox1->geometry(), QRect(8, 180, 683, 415));
    fresh.resize(300, 545);
    EXPECT_EQ(fresh.ListBox1->geometry(), QRect(8, 180, 283, 360));

    FoundLines lines;
    lines.append("/" + std::string(400, 'a') + "/name.txt");  // the first row sets every row's size
    lines.append("/b");
    fresh.ListBox1Items->setLines(std::move(lines));
    QCoreApplication::processEvents();
    EXPECT_EQ(fresh.ListBox1->visualRect(fresh.ListBox1Items->index(0)).width(),
              fresh.ListBox1->viewport()->width());

    fresh.resize(480, 545);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&fresh));
    QTest::mouseClick(fresh.windowHandle(), Qt::LeftButton, {}, fresh.CheckBox4->geometry().center());
    EXPECT_FALSE(fresh.CheckBox4->isChecked());
}

// The found row: a counter as wide as its whole number, the buttons after it pushed only when it reaches
// them.
TEST_F(SearchWindowTest, ACounterShowsItsWholeNumber) {
    QLabel counter(w);
    counter.setFont(w->Label9->font());
    const QRect place(144, 152, 49, 16), openPlace(204, 152, 60, 22), revealPlace(275, 152, 60, 22);
    QPushButton open(w), reveal(w);
    for (const char* number : {"0", "56889", "568895", "4294967295"}) {
        counter.setText(QString::fromLatin1(number));
        flowRow({{&counter, place, true}, {&open, openPlace}, {&reveal, revealPlace}});
        EXPECT_EQ(counter.width(), std::max(counter.sizeHint().width(), place.width())) << number;
        const int push = std::max(0, counter.geometry().right() + 5 - openPlace.left());
        EXPECT_EQ(open.geometry(), openPlace.translated(push, 0)) << number;
        EXPECT_EQ(reveal.geometry(), revealPlace.translated(push, 0)) << number;
    }
}

TEST_F(SearchWindowTest, SubfoldersAreSearchedDepthFirstInReverseListingOrder) {
    FakeFileSystem fs;
    fs.add("/S", {"A/", "f", "B/"});
    fs.add("/S/A", {"A1/", "A2/"});
    fs.add("/S/B", {"B1/"});
    fs.add("/S/A/A1", {});
    fs.add("/S/A/A2", {});
    fs.add("/S/B/B1", {"x"});
    w->CheckBox2->setChecked(true);
    start("/S");
    // Each folder is read once, in search order.
    EXPECT_EQ(fs.listed, (Lines{"/S *", "/S/B *", "/S/B/B1 *", "/S/A *", "/S/A/A2 *", "/S/A/A1 *"}));
    EXPECT_EQ(results(), (Lines{"/S/A", "/S/f", "/S/B", "/S/B/B1", "/S/B/B1/x", "/S/A/A1", "/S/A/A2"}));
    EXPECT_EQ(w->Label6->text(), QStringLiteral("6"));
    EXPECT_EQ(w->Label10->text(), QStringLiteral("6"));
    EXPECT_EQ(w->Label9->text(), QStringLiteral("7"));
    EXPECT_TRUE(w->Button2->isEnabled());
    EXPECT_FALSE(w->Button3->isEnabled());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, kSuccess);
}

TEST_F(SearchWindowTest, MasksEditedDuringARunApplyToTheFoldersThatFollow) {
    FakeFileSystem fs;
    fs.add("/S", {"A/", "a.txt", "a.doc"});
    fs.add("/S/A", {"b.txt", "b.doc"});
    w->CheckBox2->setChecked(true);
    CallbackPump pump([&](int) {
        if (w->Label9->text() == QStringLiteral("3")) {  // the last entry of /S is examined
            w->Edit3->setText(QStringLiteral("doc"));
        }
    });
    start("/S");
    EXPECT_EQ(results(), (Lines{"/S/A", "/S/a.txt", "/S/a.doc", "/S/A/b.doc"}));
}

// "." and ".." are listed by the system but are never results, nor counted.
TEST_F(SearchWindowTest, HiddenSubfoldersAreListedButNotEntered) {
    FakeFileSystem fs;
    fs.add("", {".", "..", ".cache/", "home/", "vmlinuz"});
    fs.add("/home", {".", "..", "notes.txt", "v1./"});  // a Linux folder name may end in a dot
    fs.add("/home/v1.", {"a"});
    fs.add("/.cache", {"secret.txt"});
    w->CheckBox2->setChecked(true);
    start("/");
    EXPECT_EQ(results(),
              (Lines{"/.cache", "/home", "/vmlinuz", "/home/notes.txt", "/home/v1.", "/home/v1./a"}));
    EXPECT_EQ(w->Label9->text(), QStringLiteral("6"));
}

TEST_F(SearchWindowTest, RootIsListedAsSlashWithoutSubfolders) {
    FakeFileSystem fs;
    fs.add("", {"bin/", "etc/"});
    start("  /  ");
    EXPECT_EQ(results(), (Lines{"/bin", "/etc"}));
    EXPECT_EQ(w->Label6->text(), QStringLiteral("1"));
    EXPECT_EQ(w->Label10->text(), QStringLiteral("1"));
}

TEST_F(SearchWindowTest, MasksAreComposedForEveryFolder) {
    FakeFileSystem fs;
    fs.add("/d", {"readme", "readme.txt", "notes.TXT", "me.doc"});
    w->Edit2->setText(QStringLiteral("*me"));
    start("/d");
    EXPECT_EQ(fs.listed.back(), "/d *.*");
    EXPECT_EQ(results(), (Lines{"/d/readme.txt", "/d/me.doc"}));

    w->Edit2->setText(QStringLiteral("*"));
    w->Edit3->setText(QStringLiteral("txt"));
    start("/d");
    EXPECT_EQ(results(), (Lines{"/d/readme.txt", "/d/notes.TXT"}));

    w->Edit2->setText(QStringLiteral("readme"));
    w->Edit3->setText(QStringLiteral("*"));
    start("/d/");
    EXPECT_EQ(results(), (Lines{"/d/readme", "/d/readme.txt"}));
}

TEST_F(SearchWindowTest, EveryEndOfARunLeavesTheWindowIdle) {
    struct EndCase {
        const char* startFolder;
        std::vector<ShownMessage> expected;
    };
    FakeFileSystem fs;
    fs.add("/full", {"a"});
    fs.add("/empty", {});
    const EndCase cases[] = {
        {"", {}},
        {" \t ", {}},
        {"/missing", {{ShownMessage::Captioned, "Error", "Выбранной папки не существует."}}},
        {"/full", {{ShownMessage::Information, "", kSuccess}}},
        {"/empty", {{ShownMessage::Information, "", kNothing}}},
    };
    for (const EndCase& c : cases) {
        SCOPED_TRACE(c.startFolder);
        messages.shown.clear();
        start(c.startFolder);
        ASSERT_EQ(messages.shown.size(), c.expected.size());
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_EQ(messages.shown[i].kind, c.expected[i].kind);
            EXPECT_EQ(messages.shown[i].caption, c.expected[i].caption);
            EXPECT_EQ(messages.shown[i].text, c.expected[i].text);
        }
        EXPECT_TRUE(w->Button2->isEnabled());
        EXPECT_FALSE(w->Button3->isEnabled());
        EXPECT_FALSE(w->searching());
    }
}

TEST_F(SearchWindowTest, StopEndsTheRunAtTheNextEntry) {
    FakeFileSystem fs;
    std::vector<std::string> many;
    for (int i = 0; i < 100; ++i) {
        many.push_back("f" + std::to_string(i));
    }
    fs.add("/big", many);
    // Pumps come once after the start folder is accepted, then once per entry.
    CallbackPump pump([&](int call) {
        EXPECT_FALSE(w->Button2->isEnabled());
        if (call == 3) {
            QTest::mouseClick(w->Button3, Qt::LeftButton);
        }
    });
    start("/big");
    EXPECT_EQ(results(), (Lines{"/big/f0", "/big/f1", "/big/f2"}));
    EXPECT_EQ(w->Label9->text(), QStringLiteral("3"));
    EXPECT_EQ(w->Label10->text(), QStringLiteral("0"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, kSuccess);
    EXPECT_TRUE(w->Button2->isEnabled());
    EXPECT_FALSE(w->Button3->isEnabled());
}

TEST_F(SearchWindowTest, StopDuringTheCollectionSearchesWhatWasCollected) {
    FakeFileSystem fs;
    fs.add("/S", {"A/", "B/"});
    fs.add("/S/A", {"a"});
    fs.add("/S/B", {"b"});
    w->CheckBox2->setChecked(true);
    // Pumps: 1 after accepting, 2 for the entries of /S, then before /S/B is listed: stop there.
    CallbackPump pump([&](int call) {
        if (call == 3) {
            w->Button3Click();
        }
    });
    start("/S");
    EXPECT_TRUE(results().empty());  // the flag stays set, so the search stops at its first entry
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, kNothing);
}

TEST_F(SearchWindowTest, ClosingTheWindowDuringARunEndsItQuietly) {
    FakeFileSystem fs;
    fs.add("/d", {"a", "b", "c"});
    TFILESCH window;
    window.Edit1->setText(QStringLiteral("/d"));
    window.show();
    CallbackPump pump([&](int call) {
        if (call == 1) {
            window.close();
        }
    });
    window.Button2Click();
    EXPECT_EQ(toStrings(window.foundList()), (Lines{"/d/a"}));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(window.isVisible());
}

// The failure goes on to the top-level handler; the window must not stay in the searching state.
TEST_F(SearchWindowTest, AnUnexpectedFailureLeavesTheWindowIdle) {
    FakeFileSystem fs;
    fs.add("/d", {"a"});
    CallbackPump pump([](int) { throw std::runtime_error("disk on fire"); });
    w->Edit1->setText(QStringLiteral("/d"));
    EXPECT_THROW(w->Button2Click(), std::runtime_error);
    EXPECT_TRUE(w->Button2->isEnabled());
    EXPECT_FALSE(w->Button3->isEnabled());
    EXPECT_FALSE(w->searching());
}

TEST_F(SearchWindowTest, StopBeforeStartHasNoEffect) {
    FakeFileSystem fs;
    fs.add("/d", {"a", "b"});
    w->Button3Click();
    start("/d");
    EXPECT_EQ(results(), (Lines{"/d/a", "/d/b"}));
}

TEST_F(SearchWindowTest, EnterInTheNameFieldStartsARunOnlyWhenIdle) {
    FakeFileSystem fs;
    fs.add("/d", {"a", "b"});
    w->Edit1->setText(QStringLiteral("/d"));
    int runs = 0;
    CallbackPump pump([&](int) {
        QTest::keyClick(w->Edit2, Qt::Key_Return, Qt::ShiftModifier | Qt::ControlModifier);
        ++runs;
    });
    QTest::keyClick(w->Edit2, Qt::Key_Enter, Qt::AltModifier);
    EXPECT_EQ(fs.listed, (Lines{"/d *.*"}));  // one run, not disturbed by the Enter pressed during it
    EXPECT_EQ(results(), (Lines{"/d/a", "/d/b"}));
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_GT(runs, 0);

    fs.listed.clear();
    QTest::keyClick(w->Edit3, Qt::Key_Return);
    QTest::keyClick(w->Edit1, Qt::Key_Return);
    EXPECT_TRUE(fs.listed.empty());
}

TEST_F(SearchWindowTest, ContentSearchInBothEncodings) {
    TempTree tree;
    tree.file("win.txt", "\xCF\xD0\xC8\xC2\xC5\xD2 world");  // ПРИВЕТ in 1251
    tree.file("dos.txt", "\xAF\xE0\xA8\xA2\xA5\xE2");        // привет in 866
    tree.file("empty.txt", "");
    tree.folder("привет");
    w->CheckBox1->setChecked(true);
    w->Edit5->setText(QStringLiteral("  привет "));
    start(tree.root());
    EXPECT_EQ(results(), (Lines{tree.path("win.txt")}));

    w->CheckBox3->setChecked(true);
    start(tree.root());
    EXPECT_EQ(results(), (Lines{tree.path("dos.txt")}));

    w->Edit5->setText(QStringLiteral("   "));
    messages.shown.clear();
    start(tree.root());
    EXPECT_TRUE(results().empty());
    EXPECT_EQ(messages.shown.back().text, kNothing);
}

TEST_F(SearchWindowTest, FifosAndLinkLoopsNeitherHangNorLoop) {
    TempTree tree;
    tree.file("a/needle.txt", "needle");
    ASSERT_EQ(mkfifo(tree.path("a/pipe").c_str(), 0644), 0);
    ASSERT_EQ(symlink(tree.root().c_str(), tree.path("a/loop").c_str()), 0);
    w->CheckBox2->setChecked(true);
    w->CheckBox1->setChecked(true);
    w->Edit5->setText(QStringLiteral("NEEDLE"));
    start(tree.root());
    EXPECT_EQ(results(), (Lines{tree.path("a/needle.txt")}));
    EXPECT_EQ(w->Label6->text(), QStringLiteral("2"));
}

TEST_F(SearchWindowTest, UnreadableFileIsCountedAndTheRunGoesOn) {
    TempTree tree;
    tree.file("1.txt", "needle");
    const std::string locked = tree.file("2.txt", "needle");
    tree.file("3.txt", "needle");
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    w->CheckBox1->setChecked(true);
    w->Edit5->setText(QStringLiteral("needle"));
    asUnprivileged([&] { start(tree.root()); });
    auto found = results();
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (Lines{tree.path("1.txt"), tree.path("3.txt")}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, kSuccess + QStringLiteral("\nНе удалось прочитать файлов: 1"));
}

TEST_F(SearchWindowTest, RelativeStartFolderIsListedFromItself) {
    TempTree tree;
    tree.file("sub/inner/x.txt");
    ASSERT_EQ(chdir(tree.root().c_str()), 0);
    w->CheckBox2->setChecked(true);
    start("sub");
    auto found = results();
    std::sort(found.begin(), found.end());  // the file system's own order
    EXPECT_EQ(found, (Lines{"sub/inner", "sub/inner/x.txt"}));
    ASSERT_EQ(chdir("/"), 0);
}

TEST_F(SearchWindowTest, AChosenFolderKeepsItsBytesUntilTheFieldIsEdited) {
    TempTree tree;
    const std::string raw = tree.folder("\xCF\xF0\xE8");  // a Windows-1251 name, not valid UTF-8
    tree.file("\xCF\xF0\xE8/x.txt");
    w->setStartFolder(raw);
    EXPECT_TRUE(w->Edit1->text().endsWith(QStringLiteral("/При")));  // shown decoded as Windows-1251
    w->Button2Click();
    const auto found = results();
    const auto row = std::find(found.begin(), found.end(), raw + "/x.txt");
    ASSERT_NE(row, found.end());
    const QModelIndex shown = w->ListBox1Items->index(static_cast<int>(row - found.begin()));
    EXPECT_TRUE(
        w->ListBox1Items->data(shown, Qt::DisplayRole).toString().endsWith(QStringLiteral("/При/x.txt")));

    w->Edit1->setText(w->Edit1->text() + QStringLiteral("/"));  // edited: the typed text is used again
    EXPECT_EQ(w->startFolder(), w->Edit1->text().toStdString());
}

TEST_F(SearchWindowTest, TheRunDoesNotTouchTheCurrentFilePath) {
    FakeFileSystem fs;
    fs.add("/d", {"a"});
    CurrentFilePath = "/picked/by/user";
    start("/d");
    EXPECT_EQ(CurrentFilePath, "/picked/by/user");
}
