#include <gtest/gtest.h>

#include "platform/CommandLine.h"

TEST(CommandLine, ArgumentsKeepTheirBytes) {
    char program[] = "varnel";
    char raw[] = "/tmp/\xCF\xF0\xE8.txt";  // Windows-1251, not valid UTF-8
    char plain[] = "текст";
    char* argv[] = {program, raw, plain};
    keepArgumentBytes(3, argv);
    const QStringList arguments = {QString::fromLocal8Bit(raw), QString::fromLocal8Bit(plain)};
    EXPECT_EQ(argumentBytes(arguments, 0), raw);
    EXPECT_EQ(argumentBytes(arguments, 1), plain);
    // Arguments that did not come from the command line are taken as their text.
    EXPECT_EQ(argumentBytes({QStringLiteral("/другой")}, 0), "/другой");
    keepArgumentBytes(0, argv);
}
