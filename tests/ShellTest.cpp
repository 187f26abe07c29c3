#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <optional>

#include "platform/Shell.h"

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
