#include <gtest/gtest.h>

#include "platform/CommandLine.h"

TEST(CommandLine, ArgumentsKeepTheirBytes) {
    const std::string raw = "/tmp/\xCF\xF0\xE8.txt";  // Windows-1251, not valid UTF-8
    const std::string plain = "текст";
    const QStringList arguments = keepArguments({raw, plain});
    ASSERT_EQ(arguments.size(), 2);
    EXPECT_EQ(arguments.at(1), QStringLiteral("текст"));
    EXPECT_EQ(argumentBytes(arguments, 0), raw);
    EXPECT_EQ(argumentBytes(arguments, 1), plain);
    // Arguments that did not come from the command line are taken as their text.
    EXPECT_EQ(argumentBytes({QStringLiteral("/другой")}, 0), "/другой");
    keepArguments({});
}

TEST(CommandLine, OptionsStandBeforeTheSeparator) {
    using Action = CommandLineRequest::Action;
    const struct {
        std::vector<std::string> arguments;
        Action action;
        int toolkitCount;
        std::vector<std::string> afterOptions;
    } cases[] = {
        {{}, Action::Run, 1, {}},
        {{"--help"}, Action::Usage, 2, {}},
        {{"--version", "--help"}, Action::Version, 3, {}},
        {{"file.txt", "--help"}, Action::Usage, 3, {}},
        {{"-h", "--Help", "-"}, Action::Run, 4, {}},  // not options: files to view
        {{"--", "--help"}, Action::Run, 1, {"--help"}},
        {{"-platform", "offscreen", "--", "-reverse", "--"}, Action::Run, 3, {"-reverse", "--"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> words = {"varnel"};
        words.insert(words.end(), c.arguments.begin(), c.arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words) {
            argv.push_back(word.data());
        }
        const CommandLineRequest request = readCommandLine(static_cast<int>(argv.size()), argv.data());
        SCOPED_TRACE(testing::PrintToString(c.arguments));
        EXPECT_EQ(request.action, c.action);
        EXPECT_EQ(request.toolkitCount, c.toolkitCount);
        EXPECT_EQ(request.afterOptions, c.afterOptions);
    }
}
