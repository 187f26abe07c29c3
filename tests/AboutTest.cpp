#include <gtest/gtest.h>
#include <unistd.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <fstream>

#include "TestSupport.h"
#include "about/HelpWindow.h"
#include "about/LinkLabel.h"
#include "about/about.h"
#include "platform/files/ProgramFolder.h"
#include "search/FS1.h"

namespace {

const QString kHelpMissing = QStringLiteral("Файл help.chm не найден.");

TEST(AboutBox, ShowsTheCaptions) {
    TAboutBox box;
    EXPECT_EQ(box.windowTitle(), QStringLiteral("  О программе"));
    const std::pair<QString, QString> texts[] = {
        {box.Label1->text(), QStringLiteral("Varnel - искалка  файлов")},
        {box.Label2->text(), QStringLiteral("Version  1.0")},
        {box.Label3->text(), QStringLiteral("Простая программа для удобного поиска файлов и папок.")},
        {box.Label6->text(), QStringLiteral("Сайты автора программы:")},
        {box.Button1->text(), QStringLiteral("Ok")},
        {box.Button2->text(), QStringLiteral("Помощь")},
    };
    for (const auto& [shown, expected] : texts) {
        EXPECT_EQ(shown, expected);
    }
    EXPECT_FALSE(box.Image1->pixmap().isNull());
    EXPECT_FALSE(box.Label4->text().isEmpty());
    EXPECT_FALSE(box.Label5->text().isEmpty());
}

class AboutHelp : public ::testing::Test {
  protected:
    void SetUp() override { std::remove(help.c_str()); }
    void TearDown() override { std::remove(help.c_str()); }

    // The program folder the tests run with.
    const std::string help = programFolder() + "help.chm";
    RecordingMessages messages;
    RecordedShell shell;
    TAboutBox box;
};

// One test, since the program folder's help.chm is one file for every test that runs at the same time.
TEST_F(AboutHelp, OpensTheProgramFoldersHelpFileAndTellsEveryFailure) {
    box.Button2->click();  // missing: told without running the opener
    EXPECT_EQ(messages.texts(), std::vector<QString>{kHelpMissing});
    EXPECT_TRUE(shell.opened.empty());
    messages.shown.clear();

    std::ofstream(help) << "chm";
    char started[4096];
    ASSERT_NE(getcwd(started, sizeof started), nullptr);
    ASSERT_EQ(chdir("/"), 0);  // another current folder must not matter
    box.Button2->click();
    ASSERT_EQ(chdir(started), 0);
    EXPECT_EQ(shell.opened, std::vector<std::string>{help});
    EXPECT_TRUE(messages.texts().empty());

    // No program opens it: the same pages in the program's own window, every topic of the contents reachable.
    shell.succeeds = false;
    box.Button2->click();
    EXPECT_TRUE(messages.texts().empty());
    HelpWindow* const help = box.ownHelp();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->page(), QStringLiteral("index.htm"));
    ASSERT_EQ(help->Contents->count(), 8);
    for (int row = help->Contents->count() - 1; row >= 0; --row) {
        help->Contents->setCurrentRow(row);
        EXPECT_EQ(help->Pages->documentTitle(), help->Contents->item(row)->text());
    }
    EXPECT_TRUE(help->Back->isEnabled());
}

TEST_F(AboutHelp, LinksOpenTheirAddressesAndFailQuietly) {
    shell.succeeds = false;
    emit box.Label7->clicked();
    emit box.Label8->clicked();
    EXPECT_EQ(shell.opened, (std::vector<std::string>{kFirstSiteAddress, kSecondSiteAddress}));
    EXPECT_TRUE(messages.texts().empty());
}

TEST(AboutBoxWindow, InfShowsItModallyAndOkHidesIt) {
    TAboutBox* const savedBox = AboutBox;
    TFILESCH search;
    TAboutBox box;
    AboutBox = &box;
    bool sawModal = false;
    for (int showing = 0; showing < 2; ++showing) {
        QTimer::singleShot(0, &box, [&box, &sawModal] {
            sawModal = box.isVisible() && box.isModal();
            box.Button1->click();
        });
        search.Button5->click();
        EXPECT_TRUE(sawModal);
        EXPECT_FALSE(box.isVisible());
        EXPECT_EQ(box.Label2->text(), QStringLiteral("Version  1.0"));
    }
    AboutBox = savedBox;
}

}  // namespace
