#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <random>

#include "TestSupport.h"

#include "matching/ContentMatch.h"
#include "matching/TextScanner.h"
#include "platform/files/FileError.h"
#include "platform/text/CodePages.h"

namespace {

// A typed text (UTF-8 here) in one encoding, its first case form of each character, as a file holds it.
std::string encoded(const std::string& utf8, TextEncoding encoding) {
    std::string bytes;
    const std::optional<TextForm> form = textForm(QString::fromStdString(utf8).toStdU32String(), encoding);
    for (const CharacterForms& forms : *form) {
        bytes += forms.front();
    }
    return bytes;
}

std::string win(const char* utf8) {
    return encoded(utf8, TextEncoding::Win1251);
}

// The run's content test: without "DOS" Windows-1251, UTF-8 and UTF-16LE, with it code page 866.
std::int64_t search(const std::string& path, const std::string& typed, std::uint64_t start = 0,
                    bool dos = false) {
    return SearchFile(path, SearchText(QString::fromStdString(typed), SearchText::contentEncodings(dos)),
                      start);
}

}  // namespace

struct SearchCase {
    const char* name;
    std::string content;
    std::string text;  // as typed
    std::uint64_t start;
    std::int64_t expected;
};

class SearchFileTest : public testing::TestWithParam<SearchCase> {};

TEST_P(SearchFileTest, FindsTheFirstMatch) {
    const SearchCase& c = GetParam();
    TempTree tree;
    EXPECT_EQ(search(tree.file("f.txt", c.content), c.text, c.start), c.expected);
}

std::string at(std::size_t offset, const std::string& text, std::size_t size) {
    std::string content(size, '.');
    content.replace(offset, text.size(), text);
    return content;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SearchFileTest,
    testing::Values(SearchCase{"Offset0", "abc def", "abc", 0, 0}, SearchCase{"Later", "xx abc", "ABC", 0, 3},
                    SearchCase{"UpperFindsLower", win("ну привет"), "ПРИВЕТ", 0, 3},
                    SearchCase{"LowerFindsUpper", win("ПРИВЕТ"), "привет", 0, 0},
                    SearchCase{"YoMatchesBothWays", win("ёж Ёж"), "Ёж", 0, 0},
                    SearchCase{"MixedYo", win("ЕЖ Ёж"), "ёж", 0, 3},
                    SearchCase{"OneCharacterAnywhere", "....z", "Z", 0, 4},
                    SearchCase{"StartOffsetSkipsEarlier", "ab ab", "ab", 1, 3},
                    SearchCase{"StartAtEnd", "ab", "ab", 2, -1},
                    SearchCase{"StartBeyondEnd", "ab", "b", 99, -1},
                    SearchCase{"TextLongerThanFile", "abc", "abcd", 0, -1},
                    SearchCase{"EmptyFile", "", "a", 0, -1}, SearchCase{"EmptyText", "abc", "", 0, -1},
                    SearchCase{"AtTheVeryEnd", "xxxxEND", "end", 0, 4},
                    SearchCase{"PartialAtEnd", "xxxxEN", "end", 0, -1},
                    SearchCase{"NoFalseMatchOnPrefix", "aab", "ab", 0, 1},
                    // Across the boundaries of the 256 KiB read blocks and of the old 8 KiB ones.
                    SearchCase{"Across8K", at(8190, "needle", 20000), "NEEDLE", 0, 8190},
                    SearchCase{"Across256K", at(262141, "needle", 300000), "needle", 0, 262141},
                    SearchCase{"EndOf256K", at(262144 - 6, "needle", 300000), "needle", 0, 262138},
                    SearchCase{"StartOf2ndBlock", at(262144, "needle", 600000), "needle", 0, 262144},
                    SearchCase{"LongTextAcrossBlocks", at(200000, std::string(150000, 'q') + "!", 700000),
                               std::string(150000, 'Q') + "!", 0, 200000},
                    SearchCase{"ZeroBytes", std::string("\0\0a\0", 4), std::string("a\0", 2), 0, 2},
                    // The smallest offset of any form, whichever form stands first.
                    SearchCase{"Utf16BeforeWin",
                               "..." + encoded("ёж", TextEncoding::Utf16le) + "." + win("ёж"), "ЁЖ", 0, 3},
                    SearchCase{"Utf8BeforeUtf16", "..ёж" + encoded("ёж", TextEncoding::Utf16le), "ЁЖ", 0, 2},
                    SearchCase{"OnlyAfterTheStart", "ёж." + win("ёж"), "ЁЖ", 1, 5},
                    // A character outside 1251 is not looked for as "?".
                    SearchCase{"NotAsQuestionMarks", "?? 日本", "日本", 0, 3}),
    [](const testing::TestParamInfo<SearchCase>& info) { return std::string(info.param.name); });

// One line saved in the four encodings files hold (UTF-16LE with its byte-order mark), looked for as the run
// does, without and with "DOS".
TEST(SearchFile, FindsTheTextInEveryEncodingWithoutRegardToCase) {
    TempTree tree;
    const std::string line = "Годовой отчёт за 2025 год (Report) ";
    const std::vector<std::string> files = {
        tree.file("win.txt", encoded(line + "?", TextEncoding::Win1251)),
        tree.file("dos.txt", encoded(line + "?", TextEncoding::Cp866)),
        tree.file("utf8.txt", line + "Ω"),
        tree.file("utf16.txt", "\xFF\xFE" + encoded(line + "Ω", TextEncoding::Utf16le)),
    };
    struct Case {
        const char* typed;
        bool dos;
        std::array<bool, 4> found;  // in the files above
    };
    const Case cases[] = {
        {"отчёт", false, {true, false, true, true}},    {"ОТЧЁТ", false, {true, false, true, true}},
        {"оТчЁт", false, {true, false, true, true}},    {"ОТЧЕТ", false, {false, false, false, false}},
        {"rEPORT", false, {true, true, true, true}},    {"ω", false, {false, false, true, true}},
        {"ГОДОВОЙ", true, {false, true, false, false}}, {"отчЁт", true, {false, true, false, false}},
    };
    for (const Case& c : cases) {
        for (std::size_t i = 0; i < files.size(); ++i) {
            EXPECT_EQ(search(files[i], c.typed, 0, c.dos) >= 0, c.found[i]) << c.typed << " in " << files[i];
        }
    }
}

// With "DOS" letters fold by code page 866's own pairs; across the whole tables the case pairs of both pages
// are exactly the letters whose other case the page also holds.
TEST(SearchFile, DosFoldsByTheCasePairsOfCodePage866) {
    TempTree tree;
    const struct {
        const char* typed;
        const char* content;
        bool found;
    } cases[] = {{"А", "А", true}, {"А", "а", true}, {"А", "Р", false}, {"а", "А", true},
                 {"р", "Р", true}, {"Ё", "ё", true}, {"є", "Є", true},  {"Z", "z", true}};
    for (const auto& c : cases) {
        const std::string file = tree.file("dos.txt", encoded(c.content, TextEncoding::Cp866));
        EXPECT_EQ(search(file, c.typed, 0, true) == 0, c.found) << c.typed << " in " << c.content;
    }
    for (const auto& [encoding, pairs] :
         {std::pair(TextEncoding::Win1251, 26 + 32 + 1 + 14), std::pair(TextEncoding::Cp866, 26 + 32 + 4)}) {
        int paired = 0;
        for (int code = 0; code < 256; ++code) {
            const auto byte = static_cast<unsigned char>(code);
            const char32_t ch = encoding == TextEncoding::Win1251 ? codepage::win1251ToUnicode(byte)
                                                                  : codepage::cp866ToUnicode(byte);
            const std::optional<TextForm> form = textForm(std::u32string(1, ch), encoding);
            paired += form && form->front().size() == 2;
        }
        EXPECT_EQ(paired, 2 * pairs);
    }
}

TEST(SearchFile, FindsEachFormAcrossABlockBoundary) {
    TempTree tree;
    for (const TextEncoding encoding :
         {TextEncoding::Win1251, TextEncoding::Cp866, TextEncoding::Utf8, TextEncoding::Utf16le}) {
        const std::string file = tree.file("f.txt", at(262141, encoded("отчёт", encoding), 300000));
        EXPECT_EQ(search(file, "ОТЧЁТ", 0, encoding == TextEncoding::Cp866), 262141);
    }
}

TEST(SearchFile, NonFilesAreNoMatch) {
    TempTree tree;
    EXPECT_EQ(search("", "a"), -1);
    EXPECT_EQ(search(tree.path("missing"), "a"), -1);
    EXPECT_EQ(search(tree.folder("dir"), "a"), -1);
    EXPECT_EQ(search(tree.path("missing/deeper"), "a"), -1);

    const std::string fifo = tree.path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_EQ(search(fifo, "a"), -1);  // would block forever if it were opened
    EXPECT_EQ(QueryFileSize(fifo), 0u);

    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socketPath = tree.path("sock");
    socketPath.copy(address.sun_path, sizeof(address.sun_path) - 1);
    ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    EXPECT_EQ(search(socketPath, "a"), -1);
    close(sock);

    EXPECT_EQ(search("/dev/zero", std::string(1, '\0')), -1);
}

TEST(SearchFile, FollowsLinksToFiles) {
    TempTree tree;
    const std::string target = tree.file("t.txt", "hello");
    ASSERT_EQ(symlink(target.c_str(), tree.path("link").c_str()), 0);
    EXPECT_EQ(search(tree.path("link"), "LLO"), 2);
    EXPECT_EQ(QueryFileSize(tree.path("link")), 5u);
}

TEST(SearchFile, UnreadableFileThrowsWithNameAndReason) {
    TempTree tree;
    const std::string locked = tree.file("locked.txt", "secret");
    ASSERT_EQ(chmod(locked.c_str(), 0), 0);
    asUnprivileged([&] {
        try {
            search(locked, "secret");
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
    EXPECT_EQ(search(path, "needle", offset - 1000000), static_cast<std::int64_t>(offset));
    EXPECT_EQ(search(path, "needle", offset + 1), -1);
}

TEST(SearchFile, ShrinkingFileEndsAtWhatWasRead) {
    TempTree tree;
    const std::string path = tree.file("shrinks.bin", std::string(1 << 20, 'a') + "needle");
    // The pump runs after the first block is read; cutting the file there leaves the rest unread.
    CallbackPump pump([&](int) { ASSERT_EQ(truncate(path.c_str(), 1000), 0); });
    EXPECT_EQ(search(path, "needle"), -1);
    EXPECT_GE(pump.calls(), 1);
}

// The vector scan against a plain one, on blocks of every length around the vector widths, with texts in
// several forms whose characters come in both cases and in sequences of differing lengths (UTF-8 "ı" and "I",
// "ẞ" and "ß"), so every candidate and tail path is taken.
TEST(TextScanner, AgreesWithAPlainScan) {
    const std::u32string alphabet = U"aAжЖёıIẞß.";
    const std::vector<TextEncoding> encodings = {TextEncoding::Win1251, TextEncoding::Cp866,
                                                 TextEncoding::Utf8, TextEncoding::Utf16le};
    std::mt19937 random(7);
    std::string pool;  // the bytes blocks are made of: every character in every encoding
    for (const char32_t ch : alphabet) {
        for (const TextEncoding encoding : encodings) {
            pool += encodeCharacter(ch, encoding).value_or("");
        }
    }
    const std::function<bool(const TextForm&, std::size_t, const std::string&, std::size_t)> plainMatch =
        [&](const TextForm& form, std::size_t k, const std::string& block, std::size_t at) {
            if (k == form.size()) {
                return true;
            }
            for (const std::string& bytes : form[k]) {
                if (block.compare(at, bytes.size(), bytes) == 0 &&
                    plainMatch(form, k + 1, block, at + bytes.size())) {
                    return true;
                }
            }
            return false;
        };
    for (int round = 0; round < 4000; ++round) {
        std::string block(random() % 80, '.');
        for (char& c : block) {
            c = pool[random() % pool.size()];
        }
        std::u32string text(1 + random() % 4, U'.');
        for (char32_t& ch : text) {
            ch = alphabet[random() % alphabet.size()];
        }
        std::vector<TextForm> forms;
        for (const TextEncoding encoding : encodings) {
            if (random() % 2 == 0 && textForm(text, encoding)) {
                forms.push_back(*textForm(text, encoding));
            }
        }
        const std::size_t starts = block.empty() ? 0 : random() % (block.size() + 1);
        std::ptrdiff_t expected = -1;
        for (std::size_t p = 0; p < starts && expected < 0; ++p) {
            for (const TextForm& form : forms) {
                if (plainMatch(form, 0, block, p)) {
                    expected = static_cast<std::ptrdiff_t>(p);
                }
            }
        }
        ASSERT_EQ(TextScanner(forms).find(block.data(), block.size(), starts), expected) << round;
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
            innerFound = search(inner, "needle");
        }
    });
    EXPECT_EQ(search(outer, "needle"), -1);
    EXPECT_EQ(innerFound, 10);
}
