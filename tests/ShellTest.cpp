#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <fstream>
#include <optional>

#include "TestSupport.h"
#include "platform/desktop/Shell.h"

namespace {

// `relative` as an absolute path under the current folder, which may be the root.
std::string underWorkingFolder(const std::string& relative) {
    char buffer[4096];
    const std::string here = getcwd(buffer, sizeof buffer);
    return here == "/" ? "/" + relative : here + "/" + relative;
}

TEST(OpenerArgument, AddressesAndAbsolutePathsStayAndEverythingElseBecomesAbsolute) {
    char buffer[4096];
    const std::string here = getcwd(buffer, sizeof buffer);
    const struct {
        std::string given;
        std::string expected;
    } cases[] = {
        {"https://varnel.example/", "https://varnel.example/"},
        {"mailto+x.y-z://a", "mailto+x.y-z://a"},
        {"/usr/share/help.chm", "/usr/share/help.chm"},
        {"-rf", underWorkingFolder("-rf")},
        {"--help", underWorkingFolder("--help")},
        {"docs/help.chm", underWorkingFolder("docs/help.chm")},
        {"a:b", underWorkingFolder("a:b")},
        {"://x", underWorkingFolder("://x")},
        {"1http://x", underWorkingFolder("1http://x")},
        {"", here},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(openerArgument(c.given), c.expected) << c.given;
    }
}

class DesktopShellTest : public ::testing::Test {
  protected:
    // A stand-in opener that records its one argument and ends with `exitCode`.
    std::string opener(int exitCode) {
        const std::string path = folder.filePath("opener.sh").toStdString();
        std::ofstream(path) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << recordPath() << "'\nexit " << exitCode
                            << "\n";
        chmod(path.c_str(), 0700);
        return path;
    }
    std::string recordPath() const { return folder.filePath("argument").toStdString(); }
    std::string recorded() const {
        std::ifstream file(recordPath(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    }

    // Opens `target` through `program` and waits for the outcome.
    std::optional<bool> open(const std::string& program, const std::string& target) {
        std::optional<bool> outcome;
        makeDesktopShell(program)->openWithDefault(target, [&outcome](bool ok) { outcome = ok; });
        EXPECT_FALSE(outcome.has_value()) << "the outcome must come later, never while the window waits";
        EXPECT_TRUE(QTest::qWaitFor([&outcome] { return outcome.has_value(); }, 10000));
        return outcome;
    }

    QTemporaryDir folder;
};

TEST_F(DesktopShellTest, ReportsTheOpenersOutcome) {
    EXPECT_EQ(open(opener(0), "/x"), std::optional<bool>(true));
    EXPECT_EQ(open(opener(2), "/x"), std::optional<bool>(false));
    EXPECT_EQ(open(folder.filePath("no-such-opener").toStdString(), "/x"), std::optional<bool>(false));
    EXPECT_EQ(open("", "/x"), std::optional<bool>(false));
}

TEST_F(DesktopShellTest, HandsOverTheArgumentsBytesUnchanged) {
    const std::string name = "-name \xff\xfe 'quoted' $HOME";
    ASSERT_EQ(open(opener(0), name), std::optional<bool>(true));
    EXPECT_EQ(recorded(), underWorkingFolder(name));
}

}  // namespace

namespace {

TEST(FileUri, PercentEncodesEveryByteButTheUnreservedOnes) {
    EXPECT_EQ(fileUri("/home/u/a b/Отчёт #1%.txt"),
              "file:///home/u/a%20b/%D0%9E%D1%82%D1%87%D1%91%D1%82%20%231%25.txt");
    EXPECT_EQ(fileUri("/x/\xFF\xCF-_.~:"), "file:///x/%FF%CF-_.~%3A");
}

// A stand-in for the desktop's file manager on its own connection to the bus, so calls reach it through the
// bus daemon. It records what it is asked to show, or takes the calls and never answers.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
  public:
    explicit FakeFileManager(bool answers)
        : answers_(answers),
          bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                             QStringLiteral("fake-file-manager"))) {
        EXPECT_TRUE(bus_.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), this,
                                        QDBusConnection::ExportAllSlots));
        EXPECT_TRUE(bus_.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    }
    ~FakeFileManager() override {
        bus_.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
        bus_.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
        QDBusConnection::disconnectFromBus(QStringLiteral("fake-file-manager"));
    }

    std::vector<std::string> shown;

  public slots:
    void ShowItems(const QStringList& uris, const QString&, const QDBusMessage& call) {
        for (const QString& uri : uris) {
            shown.push_back(uri.toStdString());
        }
        if (!answers_) {
            call.setDelayedReply(true);
        }
    }

  private:
    bool answers_;
    QDBusConnection bus_;
};

// Runs on a private session bus: the test starts itself again under dbus-run-session.
TEST(RevealOnTheSessionBus, AFileManagerShowsTheEntryElseItsFolderIsOpened) {
    if (qEnvironmentVariableIsEmpty("VARNEL_PRIVATE_BUS")) {
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VARNEL_PRIVATE_BUS"), QStringLiteral("1"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QStringLiteral("dbus-run-session"),
                    {QStringLiteral("--"), QCoreApplication::applicationFilePath(),
                     QStringLiteral("--gtest_filter=RevealOnTheSessionBus.*")});
        ASSERT_TRUE(child.waitForFinished(60000));
        const QByteArray output = child.readAll();
        EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
        return;
    }
    StandInPrograms programs;
    programs.add("xdg-open");
    const struct {
        std::string entry;
        std::string uri;
        std::string folder;
    } cases[] = {
        {"/home/u/file.txt", "file:///home/u/file.txt", "/home/u/"},
        {"/file.txt", "file:///file.txt", "/"},
        {"/home/u/dir", "file:///home/u/dir", "/home/u/"},
        {"/home/u/a b\xFF.txt", "file:///home/u/a%20b%FF.txt", "/home/u/"},
    };
    const auto shell = makeDesktopShell("xdg-open", 500);
    std::vector<bool> told;  // what each reveal said in the end: shown or not
    const auto tell = [&told](bool shown) { told.push_back(shown); };
    {
        FakeFileManager manager(true);
        for (const auto& c : cases) {
            shell->reveal(c.entry, tell);
            ASSERT_TRUE(QTest::qWaitFor([&] { return !manager.shown.empty(); }, 5000)) << c.entry;
            EXPECT_EQ(manager.shown, std::vector<std::string>{c.uri});
            manager.shown.clear();
        }
    }
    std::size_t opened = 0;
    for (const bool managerThere : {false, true}) {  // no owner of the name, then one that never answers
        std::optional<FakeFileManager> silent;
        if (managerThere) {
            silent.emplace(false);
        }
        for (const auto& c : cases) {
            shell->reveal(c.entry, tell);
            ASSERT_TRUE(programs.waitForCalls("xdg-open", ++opened)) << c.entry;
            EXPECT_EQ(programs.calls("xdg-open").back(), std::vector<std::string>{c.folder});
        }
    }
    programs.add("xdg-open", 4);  // the folder cannot be opened either: nothing was shown
    shell->reveal(cases[0].entry, tell);
    ASSERT_TRUE(QTest::qWaitFor([&] { return told.size() == 3 * std::size(cases) + 1; }, 5000));
    EXPECT_EQ(std::count(told.begin(), told.end(), false), 1);
}

}  // namespace

#include "ShellTest.moc"
