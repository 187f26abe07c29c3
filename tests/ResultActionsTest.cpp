#include <gtest/gtest.h>
#include <unistd.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <optional>

#include "PictureSamples.h"
#include "TestSupport.h"
#include "app/forms.h"
#include "picture/PictureArea.h"
#include "picture/Shp1.h"
#include "search/FS1.h"
#include "search/ResultActions.h"
#include "search/ResultsModel.h"
#include "settings/forset1.h"
#include "viewer/RF1.h"

namespace {

TEST(ResultActions, ViewSideOfAPath) {
    TempTree tree;
    tree.folder("x.jpg");
    tree.file("dir.old/notes");
    const struct {
        const char* name;
        ViewSide side;
    } cases[] = {
        {"a.jpg", ViewSide::Picture},      {"A.JPG", ViewSide::Picture}, {"a.JpEg", ViewSide::Picture},
        {"a.ico", ViewSide::Picture},      {"a.bmp", ViewSide::Picture}, {"a.wmf", ViewSide::Picture},
        {"a.gif", ViewSide::Picture},      {"a.png", ViewSide::Picture}, {"a.emf", ViewSide::Text},
        {"a.jpe", ViewSide::Text},         {"a.tiff", ViewSide::Text},   {"README", ViewSide::Text},
        {"dir.old/notes", ViewSide::Text}, {"x.jpg", ViewSide::Folder},  {"dir.old/.", ViewSide::Folder},
        {"dir.old/..", ViewSide::Folder},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(viewSideOf(tree.path(c.name)), c.side) << c.name;
    }
}

TEST(ResultActions, ALineIsReachedAsTheRunThatWroteItReachedIt) {
    EXPECT_EQ(resultPath("/home/u", "/home/u/a b.txt"), "/home/u/a b.txt");
    EXPECT_EQ(resultPath(" /", "/etc"), "/etc");
    EXPECT_EQ(resultPath(" docs/ ", "docs/inner/x.txt"), "./inner/x.txt");
}

// The program's windows as created at start-up, with a search run over a small tree whose lines the actions
// work on.
class ResultActionsTest : public testing::Test {
  protected:
    void SetUp() override {
        if (FILESCH == nullptr) {
            createForms({});
        }
        w = FILESCH;
        writeFile(tree.path("small.png"), encodeWithQt(markedPicture(10, 10, 0xFFFFFFFF, 0xFF000000), "PNG"));
        writeFile(tree.path("large.png"), encodeWithQt(markedPicture(20, 20, 0xFFFFFFFF, 0xFF000000), "PNG"));
        tree.file("notes.txt", "text");
        tree.folder("x.jpg");
        for (QCheckBox* box : {w->CheckBox1, w->CheckBox2, w->CheckBox3, Set1->CheckBox1, Set1->CheckBox2}) {
            box->setChecked(false);
        }
        Set1->setViewerPath(ViewerRow::Text, "");
        Set1->setViewerPath(ViewerRow::Graphics, "");
        w->Edit2->setText(QStringLiteral("*"));
        w->Edit3->setText(QStringLiteral("*"));
        search(tree.root());
        SHPIC->hide();
        RF->hide();
        RF->Edit1->clear();
        messages.shown.clear();
    }
    void TearDown() override {
        SHPIC->hide();
        RF->hide();
        ASSERT_EQ(chdir("/"), 0);
    }

    void search(const std::string& folder) {
        w->Edit1->setText(QString::fromStdString(folder));
        w->Button2Click();
    }
    // Selects the result line `line`; the empty text clears the selection.
    void select(const std::string& line) {
        w->ListBox1->clearSelection();
        for (int row = 0; row < w->ListBox1Items->rowCount(); ++row) {
            if (w->ListBox1Items->line(row) == line) {
                w->ListBox1->setCurrentIndex(w->ListBox1Items->index(row));
                return;
            }
        }
        ASSERT_TRUE(line.empty()) << "no result line " << line;
    }
    void showViewers(bool picture, bool file) {
        SHPIC->setVisible(picture);
        RF->setVisible(file);
    }
    QSize pictureShown() const { return SHPIC->Image1->currentFrame().size(); }

    TempTree tree;
    TFILESCH* w = nullptr;
    RecordingMessages messages;
    RecordedShell shell;
};

TEST_F(ResultActionsTest, ViewSendsEachLineToItsSide) {
    const QString folderMessage =
        QString::fromStdString(tree.path("x.jpg")) + " - это папка. К ней можно перейти.";
    const struct {
        const char* what;
        const char* name;
        bool pictureBefore, fileBefore;
        bool externalText, externalGraphics;
        bool pictureAfter, fileAfter;
        std::optional<bool> flag;  // nothing: unchanged
        bool started;
        QString message;
    } cases[] = {
        {"picture, both hidden", "small.png", false, false, false, false, true, false, true, false, {}},
        {"picture in the open picture viewer",
         "large.png",
         true,
         false,
         false,
         false,
         true,
         false,
         true,
         false,
         {}},
        {"picture over the file viewer",
         "small.png",
         false,
         true,
         false,
         false,
         true,
         false,
         true,
         false,
         {}},
        {"text, both hidden", "notes.txt", false, false, false, false, false, true, false, false, {}},
        {"text in the open file viewer",
         "notes.txt",
         false,
         true,
         false,
         false,
         false,
         true,
         false,
         false,
         {}},
        {"text over the picture viewer",
         "notes.txt",
         true,
         false,
         false,
         false,
         false,
         true,
         false,
         false,
         {}},
        {"a folder named like a picture",
         "x.jpg",
         true,
         false,
         false,
         false,
         true,
         false,
         {},
         false,
         folderMessage},
        {"external text viewer, no path",
         "notes.txt",
         true,
         false,
         true,
         false,
         true,
         false,
         false,
         true,
         {}},
        {"external graphics viewer", "large.png", false, true, false, true, false, true, true, true, {}},
    };
    Set1->setViewerPath(ViewerRow::Graphics, "/opt/gv");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string path = tree.path(c.name);
        CurrentFilePath = tree.path("small.png");
        showViewers(c.pictureBefore, c.fileBefore);
        const QSize pictureBefore = pictureShown();
        Set1->CheckBox1->setChecked(c.externalText);
        Set1->CheckBox2->setChecked(c.externalGraphics);
        const bool flagBefore = w->lastViewerFlag();
        shell.started.clear();
        messages.shown.clear();
        select(path);
        w->ListBox1DblClick();

        EXPECT_EQ(CurrentFilePath, path);
        EXPECT_EQ(SHPIC->isVisible(), c.pictureAfter);
        EXPECT_EQ(RF->isVisible(), c.fileAfter);
        EXPECT_EQ(w->lastViewerFlag(), c.flag.value_or(flagBefore));
        const std::string program = c.externalGraphics ? "/opt/gv" : "";
        using Started = decltype(shell.started);
        EXPECT_EQ(shell.started, (c.started ? Started{{program, path}} : Started{}));
        EXPECT_EQ(messages.texts(),
                  c.message.isEmpty() ? std::vector<QString>{} : std::vector<QString>{c.message});
        const bool pictureLoaded = c.pictureAfter && !c.started && c.message.isEmpty();
        EXPECT_EQ(pictureShown(), pictureLoaded
                                      ? QSize(c.name[0] == 's' ? 10 : 20, c.name[0] == 's' ? 10 : 20)
                                      : pictureBefore);
    }
}

TEST_F(ResultActionsTest, ViewCopiesTheSearchTextOnlyWithСТекстом) {
    w->Edit5->setText(QStringLiteral("  word "));
    select(tree.path("notes.txt"));
    RF->Edit1->setText(QStringLiteral("kept"));
    w->Button7->click();
    EXPECT_EQ(RF->Edit1->text(), QStringLiteral("kept"));
    w->CheckBox1->setChecked(true);
    w->Button7->click();
    EXPECT_EQ(RF->Edit1->text(), QStringLiteral("  word "));
}

TEST_F(ResultActionsTest, TheToggleShowsOrHidesTheLastViewerAndHidesTheOther) {
    const struct {
        const char* viewed;
        bool lastVisible;
        bool pictureAfter, fileAfter;
    } cases[] = {
        {"small.png", false, true, false},
        {"small.png", true, false, false},
        {"notes.txt", false, false, true},
        {"notes.txt", true, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.viewed) + (c.lastVisible ? ", shown" : ", hidden"));
        select(tree.path(c.viewed));
        w->Button7->click();
        showViewers(c.viewed[0] == 's' ? c.lastVisible : true, c.viewed[0] == 's' ? true : c.lastVisible);
        select("");  // the toggle does not need a line
        w->SpeedButton1->click();
        EXPECT_EQ(SHPIC->isVisible(), c.pictureAfter);
        EXPECT_EQ(RF->isVisible(), c.fileAfter);
    }
}

TEST_F(ResultActionsTest, OpenAndRevealHandTheLineToTheShell) {
    const std::string file = tree.path("notes.txt");
    const std::string folder = tree.path("x.jpg");
    const QString chosenFolder = QStringLiteral("Выбрана папка. К ней можно перейти.");
    const QString cannotOpen = QStringLiteral("Неизвестна программа для открытия, или другая ошибка.");
    const struct {
        std::string line;
        bool opens;
        std::vector<std::string> opened;
        std::vector<QString> shown;
    } cases[] = {
        {"", true, {}, {}},
        {file, true, {file}, {}},
        {file, false, {file}, {cannotOpen}},
        {folder, true, {}, {chosenFolder}},
        {tree.path(".."), true, {}, {chosenFolder}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        shell.opened.clear();
        shell.revealed.clear();
        messages.shown.clear();
        shell.succeeds = c.opens;
        select(c.line);
        const std::string current = CurrentFilePath;
        w->Button1->click();
        w->Button4->click();
        EXPECT_EQ(shell.opened, c.opened);
        EXPECT_EQ(messages.texts(), c.shown);
        EXPECT_EQ(shell.revealed,
                  c.line.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.line});
        EXPECT_EQ(CurrentFilePath, current);
    }
    select("");
    messages.shown.clear();
    w->ListBox1DblClick();
    w->Button7->click();
    EXPECT_TRUE(shell.started.empty() && messages.shown.empty() && !SHPIC->isVisible() && !RF->isVisible());
}

TEST_F(ResultActionsTest, LinesOfARelativeRunAreReachedFromItsFolder) {
    tree.file("sub/inner/x.txt");
    ASSERT_EQ(chdir(tree.root().c_str()), 0);
    w->CheckBox2->setChecked(true);
    search("sub/");
    select("sub/inner/x.txt");
    w->Button7->click();
    EXPECT_EQ(CurrentFilePath, "./inner/x.txt");
    w->Button1->click();
    EXPECT_EQ(shell.opened, std::vector<std::string>{"./inner/x.txt"});
}

// The real desktop services, with stand-in programs first on PATH.
TEST_F(ResultActionsTest, OpenAndExternalViewersRunRealPrograms) {
    Shell::install(nullptr);
    StandInPrograms programs;
    const std::string odd = tree.file("two words \xFF.txt");
    search(tree.root());
    select(odd);
    for (const int exitCode : {0, 3, 4}) {
        SCOPED_TRACE(exitCode);
        messages.shown.clear();
        programs.add("xdg-open", exitCode);
        const std::size_t before = programs.calls("xdg-open").size();
        w->Button1->click();
        ASSERT_TRUE(programs.waitForCalls("xdg-open", before + 1));
        EXPECT_EQ(programs.calls("xdg-open").back(), std::vector<std::string>{odd});
        const std::size_t told = exitCode == 0 ? 0 : 1;
        (void)QTest::qWaitFor([&] { return messages.shown.size() > told; }, 500);  // nothing more comes
        EXPECT_EQ(messages.shown.size(), told);
    }

    Set1->CheckBox1->setChecked(true);
    Set1->setViewerPath(ViewerRow::Text, programs.add("viewer \xFE"));
    w->Button7->click();
    ASSERT_TRUE(programs.waitForCalls("viewer \xFE", 1));
    EXPECT_EQ(programs.calls("viewer \xFE"), std::vector<std::vector<std::string>>{{odd}});
    Shell::install(&shell);
}

}  // namespace
