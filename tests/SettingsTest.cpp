#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <fstream>
#include <optional>

#include "TestSupport.h"
#include "app/forms.h"
#include "platform/TerminationRequests.h"
#include "platform/files/FileError.h"
#include "platform/files/ProgramFolder.h"
#include "search/FS1.h"
#include "settings/ProgramDialog.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsLocation.h"
#include "settings/forset1.h"

namespace {

std::string contentOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

struct Loaded {
    std::optional<std::string> text;
    std::optional<std::string> graphics;
    bool operator==(const Loaded& other) const { return text == other.text && graphics == other.graphics; }
};

Loaded load(const std::string& file) {
    Loaded loaded;
    loadViewerPaths(file, [&loaded](ViewerRow row, const std::string& path) {
        (row == ViewerRow::Text ? loaded.text : loaded.graphics) = path;
    });
    return loaded;
}

TEST(SettingsFile, LoadsTheFirstTwoLinesThatNameFiles) {
    TempTree tree;
    const std::string one = tree.file("bin/one");
    const std::string two = tree.file("bin/two words");
    const std::string raw = tree.file("bin/\xCF\xF0\xEE\xE3");  // Windows-1251, not valid UTF-8
    const std::string folder = tree.folder("bin/dir");
    const std::string ini = tree.path("fs.ini");
    const struct {
        const char* what;
        std::string content;
        Loaded expected;
    } cases[] = {
        {"empty", "", {}},
        {"one line, no end", one, {one, {}}},
        {"CR LF", one + "\r\n" + two + "\r\n", {one, two}},
        {"LF", one + "\n" + two + "\n", {one, two}},
        {"three lines", one + "\r\n" + two + "\r\n" + one + "\r\n", {one, two}},
        {"a folder", folder + "\r\n" + two + "\r\n", {{}, two}},
        {"empty first line", "\r\n" + two, {{}, two}},
        {"blanks kept", " " + one + "\r\n" + two + " \r\n", {}},
        {"a NUL inside", one + std::string("\0x", 2) + "\n" + two, {{}, two}},
        {"binary", std::string("\xFF\xFE\x00\x01\r\r\n", 7) + two, {{}, two}},
        {"not UTF-8", raw + "\r\n", {raw, {}}},
        {"10 MB line", std::string(10 << 20, 'a') + "\n" + two, {{}, two}},
    };
    for (const auto& c : cases) {
        std::ofstream(ini, std::ios::binary | std::ios::trunc) << c.content;
        EXPECT_EQ(load(ini), c.expected) << c.what;
    }
}

TEST(SettingsFile, OnlyARegularFileIsRead) {
    TempTree tree;
    EXPECT_EQ(load(tree.path("missing")), Loaded{});
    EXPECT_EQ(load(tree.folder("fs.ini")), Loaded{});
    const std::string fifo = tree.path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(load(fifo), Loaded{});  // never opened, so nothing blocks
    EXPECT_EQ(load("/dev/zero"), Loaded{});

    const std::string locked = tree.file("locked", tree.file("prog") + "\r\n");
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    asUnprivileged([&] { EXPECT_THROW(load(locked), FileError); });
}

TEST(SettingsFile, SavesExactlyTwoLinesInPlaceOfTheOldFile) {
    TempTree tree;
    const std::string ini = tree.file("fs.ini", "old\r\nfile\r\nthird\r\n");
    saveViewerPaths(ini, "/opt/a b/\xFF", "");
    EXPECT_EQ(contentOf(ini), "/opt/a b/\xFF\r\n\r\n");
}

class ChosenProgram : public ProgramDialog {
  public:
    ChosenProgram() { ProgramDialog::install(this); }
    ~ChosenProgram() override { ProgramDialog::install(nullptr); }
    std::optional<std::string> choose(QWidget*) override { return chosen; }
    std::optional<std::string> chosen;
};

// The global windows, with the settings rows cleared and the program folder's fs.ini removed before and
// after.
class SettingsWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        if (FILESCH == nullptr) {
            createForms({});
        }
        clear(*Set1);
    }
    void TearDown() override {
        clear(*Set1);
        std::remove(settingsFilePath().c_str());
    }
    static void clear(TSet1& settings) {
        for (ViewerRow row : {ViewerRow::Text, ViewerRow::Graphics}) {
            settings.setViewerPath(row, "");
        }
        settings.CheckBox1->setChecked(false);
        settings.CheckBox2->setChecked(false);
    }

    // Opens the settings window from the search window and runs `whileOpen` in it.
    static void whileShown(const std::function<void()>& whileOpen) {
        bool ran = false;
        QTimer::singleShot(0, Set1, [&] {
            EXPECT_TRUE(Set1->isVisible() && Set1->isModal());
            whileOpen();
            ran = true;
            Set1->close();  // in case `whileOpen` left it open
        });
        FILESCH->Button6->click();
        EXPECT_TRUE(ran);
        EXPECT_FALSE(Set1->isVisible());
    }

    RecordingMessages messages;
};

// The indicator follows the two rows when the window closes, whichever way it closes, and only then.
TEST_F(SettingsWindowTest, EveryWayOfClosingUpdatesTheIndicator) {
    const struct {
        bool text, graphics;
        const char* closing;
        bool expected;
    } cases[] = {
        {false, true, "close box", true},   {true, false, "Вернуться", true},
        {true, true, "Вернуться", true},    {false, false, "close box", false},
        {false, false, "Вернуться", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.closing);
        FILESCH->CheckBox4->setChecked(!c.expected);  // as if clicked by hand
        whileShown([&] {
            Set1->CheckBox1->setChecked(c.text);
            Set1->CheckBox2->setChecked(c.graphics);
            QTest::keyClick(Set1, Qt::Key_Escape);  // no cancel key: the window stays
            EXPECT_TRUE(Set1->isVisible());
            EXPECT_EQ(FILESCH->CheckBox4->isChecked(), !c.expected);
            if (QString::fromUtf8(c.closing) == QStringLiteral("Вернуться")) {
                Set1->Button3->click();
            } else {
                Set1->close();
            }
        });
        EXPECT_EQ(FILESCH->CheckBox4->isChecked(), c.expected);
    }
}

TEST_F(SettingsWindowTest, ChoosingAProgramFillsTheFieldOnly) {
    ChosenProgram dialog;
    dialog.chosen = "/opt/view \xFF";
    Set1->Button2->click();
    EXPECT_EQ(Set1->viewerPath(ViewerRow::Graphics), "/opt/view \xFF");
    EXPECT_FALSE(Set1->CheckBox2->isChecked());
    EXPECT_FALSE(FILESCH->CheckBox4->isChecked());

    dialog.chosen.reset();  // cancelled
    Set1->Button2->click();
    Set1->Button1->click();
    EXPECT_EQ(Set1->viewerPath(ViewerRow::Graphics), "/opt/view \xFF");
    EXPECT_TRUE(Set1->Edit1->text().isEmpty());
}

// A restart is a search window and a settings window made anew: the first show loads what the close saved.
TEST_F(SettingsWindowTest, PathsComeBackAfterARestart) {
    TempTree tree;
    const std::string viewer = tree.file("text \xFF viewer");  // blanks and bytes that are not UTF-8
    const std::string gone = tree.file("graphics viewer");
    Set1->setViewerPath(ViewerRow::Text, viewer);  // off, with a path that names a file
    Set1->loadViewer(ViewerRow::Graphics, gone);   // on, with a path that will be gone
    TFILESCH* const savedSearch = FILESCH;
    TSet1* const savedSettings = Set1;
    {
        TFILESCH search;
        FILESCH = &search;
        search.show();
        search.close();
        EXPECT_FALSE(search.isVisible());
    }
    EXPECT_EQ(contentOf(settingsFilePath()), viewer + "\r\n" + gone + "\r\n");
    std::remove(gone.c_str());
    {
        TFILESCH search;
        TSet1 settings;
        FILESCH = &search;
        Set1 = &settings;
        search.show();
        EXPECT_TRUE(settings.CheckBox1->isChecked());
        EXPECT_EQ(settings.viewerPath(ViewerRow::Text), viewer);
        EXPECT_FALSE(settings.CheckBox2->isChecked());
        EXPECT_TRUE(settings.Edit2->text().isEmpty());
        EXPECT_TRUE(search.CheckBox4->isChecked());
        search.close();
    }
    FILESCH = savedSearch;
    Set1 = savedSettings;
    EXPECT_EQ(contentOf(settingsFilePath()), viewer + "\r\n\r\n");
    EXPECT_TRUE(messages.shown.empty());
}

// A save that fails asks; "Нет" keeps the window open with the old file whole, "Да" closes without saving.
TEST_F(SettingsWindowTest, AFailedSaveAsksWhetherToCloseWithoutIt) {
    const std::string folder = programFolder();
    std::ofstream(settingsFilePath(), std::ios::binary) << "old\r\n";
    TFILESCH search;
    search.show();
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);  // readable by all, writable by none
    for (const bool answer : {false, true}) {
        messages.answer = answer;
        asUnprivileged([&] { search.close(); });
        EXPECT_EQ(search.isVisible(), !answer);
    }
    chmod(folder.c_str(), 0700);
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        EXPECT_EQ(entry.path().filename(), "fs.ini");  // no new file left beside it
    }
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].kind, ShownMessage::Question);
    EXPECT_TRUE(messages.shown[0].text.contains(QString::fromStdString(settingsFilePath())));
    EXPECT_TRUE(messages.shown[0].text.contains(QString::fromLocal8Bit(strerror(EACCES))));
    EXPECT_EQ(contentOf(settingsFilePath()), "old\r\n");
}

// A termination request never asks: with the save failing it ends the event loop all the same, the old file
// left whole.
TEST_F(SettingsWindowTest, ATerminationRequestEndsEvenWhenTheSaveFails) {
    const std::string folder = programFolder();
    std::ofstream(settingsFilePath(), std::ios::binary) << "old\r\n";
    TFILESCH search;
    search.show();
    Set1->setViewerPath(ViewerRow::Text, "/opt/viewer");
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
    onTerminationRequest([&search] { search.endOnRequest(); });
    QTimer hung;  // a loop still running after 10 s fails the test rather than hangs it
    hung.callOnTimeout([] { QCoreApplication::exit(1); });
    hung.start(10000);
    QTimer::singleShot(0, [] { raise(SIGTERM); });
    int code = -1;
    asUnprivileged([&code] { code = QCoreApplication::exec(); });
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        std::signal(signal, SIG_DFL);  // the handler above names this test's window
    }
    chmod(folder.c_str(), 0700);
    EXPECT_EQ(code, 0);
    EXPECT_FALSE(search.isVisible());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(contentOf(settingsFilePath()), "old\r\n");
}

// A program folder of the test's own, read-only to all but root, and a HOME and XDG_CONFIG_HOME of its own;
// all put back after.
class OwnFolders : public SettingsWindowTest {
  protected:
    void SetUp() override {
        SettingsWindowTest::SetUp();
        replaceProgramFolder(program + "/");
        chmod(program.c_str(), 0555);
        qputenv("HOME", QByteArray::fromStdString(tree.path("home")));
    }
    void TearDown() override {
        chmod(program.c_str(), 0700);
        replaceProgramFolder(savedFolder);
        qputenv("HOME", savedHome);
        savedConfig.isNull() ? qunsetenv("XDG_CONFIG_HOME") : qputenv("XDG_CONFIG_HOME", savedConfig);
        SettingsWindowTest::TearDown();
    }

    TempTree tree;
    const std::string program = tree.folder("program");
    const std::string savedFolder = programFolder();
    const QByteArray savedHome = qgetenv("HOME");
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
};

TEST_F(OwnFolders, SettingsLiveBesideAWritableProgramOrInTheUsersConfigurationFolder) {
    const std::string beside = program + "/fs.ini";
    const std::string fromHome = tree.path("home/.config/varnel/fs.ini");
    const struct {
        mode_t mode;
        bool holdsFile;
        const char* configured;
        std::string expected;
    } cases[] = {
        {0777, false, "/config", beside},  // writable
        {0555, true, "/config", beside},   // read-only, holding fs.ini
        {0555, false, "/config/", "/config/varnel/fs.ini"},
        {0555, false, nullptr, fromHome},   // XDG_CONFIG_HOME unset
        {0555, false, "config", fromHome},  // or relative
    };
    for (const auto& c : cases) {
        std::remove(beside.c_str());
        if (c.holdsFile) {
            tree.file("program/fs.ini");
        }
        chmod(program.c_str(), c.mode);
        c.configured != nullptr ? qputenv("XDG_CONFIG_HOME", c.configured) : qunsetenv("XDG_CONFIG_HOME");
        std::string found;
        asUnprivileged([&] { found = settingsFilePath(); });
        EXPECT_EQ(found, c.expected) << c.mode << " " << c.holdsFile << " "
                                     << (c.configured ? c.configured : "");
    }
}

// A program folder under /usr (an installed package) is never the settings' place, not even for root, who may
// write it; a build folder root runs from keeps them beside the program.
TEST_F(OwnFolders, AProgramUnderUsrKeepsSettingsPerUserRootIncluded) {
    qputenv("XDG_CONFIG_HOME", "/config");
    const struct {
        std::string folder;
        bool asRoot;
        std::string expected;
    } cases[] = {
        {"/usr/lib/", true, "/config/varnel/fs.ini"},
        {"/usr/lib/", false, "/config/varnel/fs.ini"},
        {"/usr/local/lib/varnel/", true, "/config/varnel/fs.ini"},
        {program + "/", true, program + "/fs.ini"},  // read-only to all but root
    };
    for (const auto& c : cases) {
        if (c.asRoot && geteuid() != 0) {
            continue;  // only a run as root can be root here
        }
        replaceProgramFolder(c.folder);
        std::string found;
        const auto find = [&found] { found = settingsFilePath(); };
        if (c.asRoot) {
            find();
        } else {
            asUnprivileged(find);
        }
        EXPECT_EQ(found, c.expected) << c.folder << (c.asRoot ? " as root" : " as a user");
    }
}

// The configuration folder is made at the first save; a close that changes nothing writes nothing, and a
// configuration folder that cannot be written is asked about like any failed save.
TEST_F(OwnFolders, SettingsFollowTheUserWhenTheProgramFolderIsReadOnly) {
    const std::string user = tree.folder("user");
    chmod(user.c_str(), 0777);
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(user));
    const std::string viewer = tree.file("viewer");
    const auto closeAs = [](const std::function<void()>& beforeClosing) {
        TFILESCH search;
        asUnprivileged([&] {
            search.show();
            beforeClosing();
            search.close();
        });
        return search.isVisible();
    };

    EXPECT_FALSE(closeAs([] {}));  // nothing set, nothing written
    EXPECT_FALSE(std::filesystem::exists(user + "/varnel"));
    EXPECT_FALSE(closeAs([&] { Set1->setViewerPath(ViewerRow::Text, viewer); }));
    EXPECT_EQ(contentOf(user + "/varnel/fs.ini"), viewer + "\r\n\r\n");

    ASSERT_EQ(chmod((user + "/varnel").c_str(), 0555), 0);
    clear(*Set1);
    EXPECT_FALSE(closeAs([] {}));  // loaded and unchanged
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(closeAs([] { Set1->setViewerPath(ViewerRow::Graphics, "/opt/other"); }));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.contains(QString::fromStdString(user + "/varnel/fs.ini")));
}

}  // namespace
