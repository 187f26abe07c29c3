#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <random>
#include "TestSupport.h"

#include "matching/ContentMatch.h"
#include "matching/TextScanner.h"
#include "platform/CodePages.h"
#include "platform/files/FileError.h"

namespace {

std::string win(const char* utf8) {
    return codepage::toWin1251(QString::fromUtf8(utf8));
}

}  // namespace

TEST(WinToDos, ConvertsRussianLettersOnly) {
    EXPECT_EQ(WinToDos(win("АЯапряЁё")), "\x80\x9F\xA0\xAF\xE0\xEF\xF0\xF1");
    EXPECT_EQ(WinToDos("Latin 123 \xB9"), "Latin 123 \xB9");
}

struct SearchCase {
    const char* name;
    std::string content;
    std::string text;
    std::uint64_t start;
    std::int64_t expected;
};

class SearchFileTest : public testing::TestWithParam<SearchCase> {};

TEST_P(SearchFileTest, FindsTheFirstMatch) {
    const SearchCase& c = GetParam();
    TempTree tree;
    EXPECT_EQ(SearchFile(tree.file("f.txt", c.content), c.text, c.start), c.expected);
}

std::string at(std::size_t offset, const std::string& text, std::size_t size) {
    std::string content(size, '.');
    content.replace(offset, text.size(), text);
    return content;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SearchFileTest,
    testing::Values(
        SearchCase{"Offset0", "abc def", "abc", 0, 0}, SearchCase{"Later", "xx abc", "ABC", 0, 3},
        SearchCase{"UpperFindsLower", win("ну привет"), win("ПРИВЕТ"), 0, 3},
        SearchCase{"LowerFindsUpper", win("ПРИВЕТ"), win("привет"), 0, 0},
        SearchCase{"YoMatchesBothWays", win("ёж Ёж"), win("Ёж"), 0, 0},
        SearchCase{"MixedYo", win("ЕЖ Ёж"), win("ёж"), 0, 3},
        // DOS texts get their case forms by the 1251 rules: DOS "А" (0x80, Ђ in 1251) also matches 0x90.
        SearchCase{"DosCapitalA", "\x90", WinToDos(win("А")), 0, 0},
        SearchCase{"DosCapitalAItself", "..\x80", WinToDos(win("А")), 0, 2},
        SearchCase{"DosSmallAOnlyItself", "\x80\x90\xA0", WinToDos(win("а")), 0, 2},
        SearchCase{"DosSmallANotCapital", "\x80\x90", WinToDos(win("а")), 0, -1},
        SearchCase{"OneCharacterAnywhere", "....z", "Z", 0, 4},
        SearchCase{"StartOffsetSkipsEarlier", "ab ab", "ab", 1, 3},
        SearchCase{"StartAtEnd", "ab", "ab", 2, -1}, SearchCase{"StartBeyondEnd", "ab", "b", 99, -1},
        SearchCase{"TextLongerThanFile", "abc", "abcd", 0, -1}, SearchCase{"EmptyFile", "", "a", 0, -1},
        SearchCase{"EmptyText", "abc", "", 0, -1}, SearchCase{"AtTheVeryEnd", "xxxxEND", "end", 0, 4},
        SearchCase{"PartialAtEnd", "xxxxEN", "end", 0, -1},
        SearchCase{"NoFalseMatchOnPrefix", "aab", "ab", 0, 1},
        // Across the boundaries of the 256 KiB read blocks and of the old 8 KiB ones.
        SearchCase{"Across8K", at(8190, "needle", 20000), "NEEDLE", 0, 8190},
        SearchCase{"Across256K", at(262141, "needle", 300000), "needle", 0, 262141},
        SearchCase{"EndOf256K", at(262144 - 6, "needle", 300000), "needle", 0, 262138},
        SearchCase{"StartOf2ndBlock", at(262144, "needle", 600000), "needle", 0, 262144},
        SearchCase{"LongTextAcrossBlocks", at(200000, std::string(150000, 'q') + "!", 700000),
                   std::string(150000, 'Q') + "!", 0, 200000},
        SearchCase{"ZeroBytes", std::string("\0\0a\0", 4), std::string("a\0", 2), 0, 2}),
    [](const testing::TestParamInfo<SearchCase>& info) { return std::string(info.param.name); });

TEST(SearchFile, NonFilesAreNoMatch) {
    TempTree tree;
    EXPECT_EQ(SearchFile("", "a", 0), -1);
    EXPECT_EQ(SearchFile(tree.path("missing"), "a", 0), -1);
    EXPECT_EQ(SearchFile(tree.folder("dir"), "a", 0), -1);
    EXPECT_EQ(SearchFile(tree.path("missing/deeper"), "a", 0), -1);

    const std::string fifo = tree.path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(SearchFile(fifo, "a", 0), -1);  // would block forever if it were opened
    EXPECT_EQ(QueryFileSize(fifo), 0u);

    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = tree.path("sock");
    socketPath.copy(address.sun_path, sizeof(address.sun_path) - 1);
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    EXPECT_EQ(SearchFile(socketPath, "a", 0), -1);
    close(sock);

    EXPECT_EQ(SearchFile("/dev/zero", std::string(1, '\0'), 0), -1);
}

TEST(SearchFile, FollowsLinksToFiles) {
    TempTree tree;
    const std::string target = tree.file("t.txt", "hello");
    ASSERT_EQ(symlink(target.c_str(), tree.path("link").c_str()), 0);
    EXPECT_EQ(SearchFile(tree.path("link"), "LLO", 0), 2);
    EXPECT_EQ(QueryFileSize(tree.path("link")), 5u);
}

TEST(SearchFile, UnreadableFileThrowsWithNameAndReason) {
    TempTree tree;
    const std::string locked = tree.file("locked.txt", "secret");
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    asUnprivileged([&] {
        try {
            SearchFile(locked, "secret", 0);
            FAIL() << "no error";
        } catch (const FileError& error) {
            EXPECT_EQ(error.path(), locked);
            EXPECT_NE(std::string(error.what()).find(locked), std::string::npos);
            EXPECT_NE(std::string(error.what()).find("Permission denied"), std::string::npos);
        }
    });
}

TEST(SearchFile, SearchesBeyondFourGibibytes) {
    TempTree tree;
    const std::string path = tree.path("sparse.bin");
    const std::uint64_t offset = (std::uint64_t{1} << 32) + 12345;
    {
        const int fd = open(path.c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(pwrite(fd, "Needle", 6, static_cast<off_t>(offset)), 6);
        ASSERT_EQ(ftruncate(fd, static_cast<off_t>(offset + 4096)), 0);
        close(fd);
    }
    EXPECT_EQ(QueryFileSize(path), offset + 4096);
    // Starting just before it keeps the test quick; the offset arithmetic is what is checked.
    EXPECT_EQ(SearchFile(path, "needle", offset - 1000000), static_cast<std::int64_t>(offset));
    EXPECT_EQ(SearchFile(path, "needle", offset + 1), -1);
}

TEST(SearchFile, ShrinkingFileEndsAtWhatWasRead) {
    TempTree tree;
    const std::string path = tree.file("shrinks.bin", std::string(1 << 20, 'a') + "needle");
    // The pump runs after the first block is read; cutting the file there leaves the rest unread.
    CallbackPump pump([&](int) { ASSERT_EQ(truncate(path.c_str(), 1000), 0); });
    EXPECT_EQ(SearchFile(path, "needle", 0), -1);
    EXPECT_GE(pump.calls(), 1);
}

// The vector scan against a plain one, on blocks of every length around the vector widths and texts whose
// letters come in both cases, so every candidate and tail path is taken.
TEST(TextScanner, AgreesWithAPlainScan) {
    const std::string alphabet = "aAbB\xE0\xC0\xA8\xB8.";
    std::mt19937 random(7);
    const auto plainFind = [](const std::string& block, const std::string& text) -> std::ptrdiff_t {
        for (std::size_t p = 0; p + text.size() <= block.size(); ++p) {
            bool all = true;
            for (std::size_t k = 0; k < text.size() && all; ++k) {
                const auto b = static_cast<unsigned char>(block[p + k]);
                const auto t = static_cast<unsigned char>(text[k]);
                all = b == codepage::win1251Upper(t) || b == codepage::win1251Lower(t);
            }
            if (all) {
                return static_cast<std::ptrdiff_t>(p);
            }
        }
        return -1;
    };
    for (int round = 0; round < 4000; ++round) {
        std::string block(random() % 80, '.');
        std::string text(1 + random() % 4, '.');
        for (char& c : block) {
            c = alphabet[random() % alphabet.size()];
        }
        for (char& c : text) {
            c = alphabet[random() % alphabet.size()];
        }
        const TextScanner scanner(text);
        ASSERT_EQ(scanner.find(block.data(), block.size()), plainFind(block, text)) << block << " / " << text;
    }
}

// A search that runs while another one pumps events (the viewer's search during a run) must not disturb it.
TEST(SearchFile, ASearchStartedWhileAnotherPumpsEventsKeepsItsOwnBytes) {
    TempTree tree;
    const std::string outer = tree.file("outer.bin", std::string(300000, 'a'));
    const std::string inner = tree.file("inner.bin", "0123456789needle");
    std::int64_t innerFound = -2;
    CallbackPump pump([&](int call) {
        if (call == 0) {
            innerFound = SearchFile(inner, "needle", 0);
        }
    });
    EXPECT_EQ(SearchFile(outer, "needle", 0), -1);
    EXPECT_EQ(innerFound, 10);
}
