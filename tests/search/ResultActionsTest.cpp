#include <gtest/gtest.h>
#include <unistd.h>

#include <QCheckBox>
#include <QClipboard>
#include <QDrag>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <climits>
#include <functional>
#include <optional>
#include <tuple>

#include "PictureSamples.h"
#include "TestSupport.h"
#include "app/forms.h"
#include "picture/Shp1.h"
#include "picture/display/PictureArea.h"
#include "platform/files/FileError.h"
#include "search/FS1.h"
#include "search/results/ResultActions.h"
#include "search/results/ResultList.h"
#include "search/results/ResultsModel.h"
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
    EXPECT_EQ(resultPath("/tmp", "/home/u/a b.txt"), "/home/u/a b.txt");
    EXPECT_EQ(resultPath("/", "/etc"), "/etc");
    EXPECT_EQ(resultPath("/home/u", "docs/inner/x.txt"), "/home/u/docs/inner/x.txt");
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
    QModelIndex rowOf(const std::string& line) const {
        for (int row = 0; row < w->ListBox1Items->rowCount(); ++row) {
            if (w->ListBox1Items->line(row) == line) {
                return w->ListBox1Items->index(row);
            }
        }
        return {};
    }
    // Selects the result line `line`; the empty text clears the selection.
    void select(const std::string& line) {
        w->ListBox1->clearSelection();
        const QModelIndex row = rowOf(line);
        ASSERT_TRUE(row.isValid() || line.empty()) << "no result line " << line;
        w->ListBox1->setCurrentIndex(row);
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

// Viewers before and after: "P" the picture viewer shown, "F" the file viewer shown. External viewers
// switched on: "T" text, "G" graphics.
TEST_F(ResultActionsTest, ViewSendsEachLineToItsSide) {
    const struct {
        const char* name;
        const char* before;
        const char* external;
        const char* after;
        std::optional<bool> flag;  // nothing: unchanged
        bool started;
    } cases[] = {
        {"small.png", "", "", "P", true, false},   {"large.png", "P", "", "P", true, false},
        {"small.png", "F", "", "P", true, false},  {"notes.txt", "", "", "F", false, false},
        {"notes.txt", "F", "", "F", false, false}, {"notes.txt", "P", "", "F", false, false},
        {"x.jpg", "P", "", "P", {}, false},        {"notes.txt", "P", "T", "P", false, true},
        {"large.png", "F", "G", "F", true, true},
    };
    const auto has = [](const char* text, char c) { return std::string(text).find(c) != std::string::npos; };
    Set1->setViewerPath(ViewerRow::Graphics, "/opt/gv");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " before " + c.before + " external " + c.external);
        const std::string path = tree.path(c.name);
        CurrentFilePath = tree.path("small.png");
        showViewers(has(c.before, 'P'), has(c.before, 'F'));
        const QSize pictureBefore = pictureShown();
        Set1->CheckBox1->setChecked(has(c.external, 'T'));
        Set1->CheckBox2->setChecked(has(c.external, 'G'));
        const bool flagBefore = w->lastViewerFlag();
        shell.started.clear();
        messages.shown.clear();
        select(path);
        w->ListBox1DblClick();

        EXPECT_EQ(CurrentFilePath, path);
        EXPECT_EQ(SHPIC->isVisible(), has(c.after, 'P'));
        EXPECT_EQ(RF->isVisible(), has(c.after, 'F'));
        EXPECT_EQ(w->lastViewerFlag(), c.flag.value_or(flagBefore));
        using Started = decltype(shell.started);
        const std::string program = has(c.external, 'G') ? "/opt/gv" : "";
        EXPECT_EQ(shell.started, (c.started ? Started{{program, path}} : Started{}));
        const bool folder = !c.flag.has_value();
        EXPECT_EQ(messages.texts(), folder ? std::vector<QString>{QString::fromStdString(path) +
                                                                  " - это папка. К ней можно перейти."}
                                           : std::vector<QString>{});
        const int side = c.name[0] == 's' ? 10 : 20;
        const bool pictureLoaded = has(c.after, 'P') && !c.started && !folder;
        EXPECT_EQ(pictureShown(), pictureLoaded ? QSize(side, side) : pictureBefore);
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
    w->CheckBox3->setChecked(true);  // looked for in code page 866 alone: the file opens in DOS
    w->Button7->click();
    EXPECT_EQ(RF->Label3->text(), QStringLiteral("DOS"));
    w->CheckBox3->setChecked(false);
    w->Edit5->setText(QStringLiteral("text"));
    w->Button7->click();
    EXPECT_EQ(RF->Label3->text(), QStringLiteral("WIN"));
}

// A viewer that is open already comes to the front when View uses it again.
TEST_F(ResultActionsTest, ViewBringsAnOpenViewerToTheFront) {
    const std::pair<const char*, QWidget*> cases[] = {{"large.png", SHPIC}, {"notes.txt", RF}};
    for (const auto& [name, viewer] : cases) {
        SCOPED_TRACE(name);
        select(tree.path(name));
        w->Button7->click();
        w->activateWindow();
        QTRY_VERIFY(w->isActiveWindow());
        w->Button7->click();
        QTRY_VERIFY(viewer->isActiveWindow());
    }
}

// The real file viewer behind View: it loads what View names, in place when it is open; the toggle shows what
// it loaded last; a file gone since the search is the viewer's error to report.
TEST_F(ResultActionsTest, ViewLoadsTheFileViewerAndTheToggleKeepsWhatItLoaded) {
    const std::string notes = tree.path("notes.txt");
    const std::string other = tree.file("other.txt", "second");
    search(tree.root());
    const auto view = [&](const std::string& line) {
        select(line);
        w->Button7Click();
        return RF->Memo1->toPlainText();
    };
    EXPECT_EQ(view(notes), QStringLiteral("text"));
    EXPECT_EQ(view(other), QStringLiteral("second"));
    EXPECT_EQ(RF->loadedPath(), other);

    CurrentFilePath = notes;
    w->SpeedButton1Click();
    w->SpeedButton1Click();
    EXPECT_TRUE(RF->isVisible());
    EXPECT_EQ(RF->Memo1->toPlainText(), QStringLiteral("second"));

    std::filesystem::remove(notes);
    select(notes);
    EXPECT_THROW(w->Button7Click(), FileError);
    EXPECT_TRUE(RF->isVisible());
    EXPECT_TRUE(RF->Memo1->toPlainText().isEmpty());
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
        {file, false, {file}, {cannotOpen, cannotOpen}},  // neither opened nor revealed
        {folder, true, {}, {chosenFolder}},
        {folder, false, {}, {chosenFolder, cannotOpen}},
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

// A run leaves the process's current folder where it found it, so no disk it searched is held busy; its
// lines, and a relative viewer path, are still reached as if its start folder had stayed current.
TEST_F(ResultActionsTest, ARunLeavesTheCurrentFolderAndItsPathsStillReachItsStartFolder) {
    tree.file("sub/inner/x.txt");
    tree.file("sub/tools/view");
    const std::string elsewhere = tree.folder("elsewhere");
    const struct {
        std::string start;
        std::string line;
    } cases[] = {{"sub/", "sub/inner/x.txt"}, {tree.path("sub"), tree.path("sub/inner/x.txt")}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.start);
        ASSERT_EQ(chdir(tree.root().c_str()), 0);
        w->CheckBox2->setChecked(true);
        search(c.start);
        char current[PATH_MAX];
        ASSERT_NE(getcwd(current, sizeof current), nullptr);
        EXPECT_EQ(current, tree.root());
        ASSERT_EQ(chdir(elsewhere.c_str()), 0);
        select(c.line);
        w->Button7->click();
        EXPECT_EQ(CurrentFilePath, tree.path("sub/inner/x.txt"));
        w->Button1->click();
        EXPECT_EQ(shell.opened.back(), tree.path("sub/inner/x.txt"));
        Set1->loadViewer(ViewerRow::Text, "tools/view");
        w->Button7->click();
        Set1->CheckBox1->setChecked(false);
        ASSERT_FALSE(shell.started.empty());
        EXPECT_EQ(shell.started.back(),
                  std::make_pair(tree.path("sub/tools/view"), tree.path("sub/inner/x.txt")));
    }
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

// The ways into the actions beyond the buttons, on a name that is not valid UTF-8, holds blanks and begins
// with "-". A way that stands for a button leaves exactly what the button leaves; a copy leaves the line as
// shown and its file address, byte for byte; a drag carries what the copy carries.
TEST_F(ResultActionsTest, EveryWayInDoesWhatItsButtonDoes) {
    const std::string odd = tree.file("-odd name \xFF.txt");
    search(tree.root());
    shell.succeeds = false;  // so Open and Reveal have something to say
    const QString shown = rowOf(odd).data().toString();
    const std::string uris = "file://" + tree.root() + "/-odd%20name%20%FF.txt\r\n";
    QString allLines;
    for (int row = 0; row < w->ListBox1Items->rowCount(); ++row) {
        allLines += w->ListBox1Items->index(row).data().toString() + "\n";
    }
    using Way = std::function<void()>;
    const auto key = [&](int code, Qt::KeyboardModifiers with) -> Way {
        return [=] { QTest::keyClick(w->ListBox1, Qt::Key(code), with); };
    };
    const auto menu =
        [&](const char* action) -> Way {  // asked for over the odd line while another is selected
        return [=] {
            select(tree.path("notes.txt"));
            const auto offered = w->resultMenuAt(w->ListBox1->visualRect(rowOf(odd)).center());
            for (QAction* item : offered->actions()) {
                if (item->text() == QString::fromUtf8(action)) {
                    item->trigger();
                }
            }
        };
    };
    const Way dblClick = [&] { w->ListBox1DblClick(); };
    const struct {
        Way way;
        Way button;  // none for a copy
        QString text;
        std::string uris;
    } cases[] = {
        {key(Qt::Key_Return, {}), dblClick, {}, {}},
        {key(Qt::Key_Enter, Qt::KeypadModifier), dblClick, {}, {}},
        {menu("Смотреть"), [&] { w->Button7->click(); }, {}, {}},
        {menu("Открыть"), [&] { w->Button1->click(); }, {}, {}},
        {menu("Перейти"), [&] { w->Button4->click(); }, {}, {}},
        {key(Qt::Key_C, Qt::ControlModifier), {}, shown, uris},
        {menu("Копировать путь"), {}, shown, uris},
        {menu("Копировать все результаты"), {}, allLines, {}},
    };
    const auto outcome = [&](const Way& act) {
        showViewers(false, false);
        CurrentFilePath.clear();
        shell.opened.clear();
        shell.revealed.clear();
        messages.shown.clear();
        QGuiApplication::clipboard()->setText({});
        select(odd);
        act();
        const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
        return std::make_tuple(CurrentFilePath, RF->isVisible(), SHPIC->isVisible(), shell.opened,
                               shell.revealed, messages.texts(), copied->text(),
                               copied->data("text/uri-list").toStdString());
    };
    const auto nothing = outcome([] {});
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const auto done = outcome(cases[i].way);
        if (cases[i].button) {
            EXPECT_EQ(done, outcome(cases[i].button));
            EXPECT_NE(done, nothing);
        } else {
            auto copiedOnly = nothing;
            std::get<6>(copiedOnly) = cases[i].text;
            std::get<7>(copiedOnly) = cases[i].uris;
            EXPECT_EQ(done, copiedOnly);
        }
    }

    w->show();  // the list drags only while it is shown
    const QPoint from = w->ListBox1->visualRect(rowOf(odd)).center();
    QTest::mousePress(w->ListBox1->viewport(), Qt::LeftButton, {}, from);
    for (const QPoint to : {from + QPoint(10, 0), from + QPoint(40, 0)}) {
        QMouseEvent move(QEvent::MouseMove, to, to, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w->ListBox1->viewport(), &move);
    }
    const auto* drag = w->ListBox1->findChild<QDrag*>();  // done, and to be deleted later
    ASSERT_NE(drag, nullptr);
    EXPECT_EQ(drag->mimeData()->text(), shown);
    EXPECT_EQ(drag->mimeData()->data("text/uri-list").toStdString(), uris);
    EXPECT_EQ(drag->supportedActions(), Qt::CopyAction | Qt::LinkAction);
    QMimeData rows;  // the list's own rows, which a list that took drops would take
    rows.setData(w->ListBox1Items->mimeTypes().constFirst(), {});
    QDragEnterEvent enter(from, Qt::CopyAction, &rows, Qt::LeftButton, {});
    QCoreApplication::sendEvent(w->ListBox1->viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    QTest::mouseRelease(w->ListBox1->viewport(), Qt::LeftButton, {}, from);
    w->hide();
}

TEST_F(ResultActionsTest, EscDuringARunPressesStopAndTheMenuIsNotOffered) {
    QTest::keyClick(w->Edit5, Qt::Key_Escape);
    EXPECT_FALSE(w->stopFlag());  // no run: Esc presses nothing
    bool menuOffered = true;
    CallbackPump pump([&](int call) {
        if (call == 0) {
            menuOffered = w->resultMenuAt({5, 5}) != nullptr;
            QTest::keyClick(w->Edit5, Qt::Key_Escape);
        }
    });
    search(tree.root());
    EXPECT_FALSE(menuOffered);
    EXPECT_EQ(w->ListBox1Items->rowCount(), 0);  // stopped at the first entry
}

}  // namespace
