// The file viewer window on files the tests write: loading, paging, readings, searches, the wheel and the
// keys, and the file it keeps while the search run rewrites the current file path.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <cstring>
#include <fstream>

#include "TestSupport.h"
#include "app/forms.h"
#include "matching/ContentMatch.h"
#include "matching/TextForms.h"
#include "platform/files/FileError.h"
#include "platform/text/CodePages.h"
#include "search/FS1.h"
#include "viewer/RF1.h"

namespace {

const QString kSearchCaption = QStringLiteral("Поиск в файле");

// `size` bytes of '.', with `marks` written at their offsets.
std::string filled(std::size_t size, const std::vector<std::pair<std::size_t, std::string>>& marks = {}) {
    std::string bytes(size, '.');
    for (const auto& [offset, text] : marks) {
        bytes.replace(offset, text.size(), text);
    }
    return bytes;
}

std::string encoded(const QString& text, TextEncoding encoding) {
    std::string bytes;
    for (const char32_t ch : text.toStdU32String()) {
        bytes += encodeCharacter(ch, encoding).value();
    }
    return bytes;
}

void turnWheel(QWidget* over, int distance) {
    const QPointF at(5, 5);
    QWheelEvent wheel(at, over->mapToGlobal(at), QPoint(), QPoint(0, distance), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(over, &wheel);
}

class ViewerTest : public testing::Test {
  protected:
    void SetUp() override { QCoreApplication::instance()->installEventFilter(viewer.applicationHook()); }
    void TearDown() override { CurrentFilePath.clear(); }

    void load(const std::string& path) {
        CurrentFilePath = path;
        viewer.LoadFile();
    }
    QStringList lines() const { return viewer.Memo1->toPlainText().split(QLatin1Char('\n')); }
    int position() const { return viewer.ScrollBar1->value(); }
    void press(int key) { QTest::keyClick(viewer.Memo1, static_cast<Qt::Key>(key)); }
    QString selected() const { return viewer.Memo1->textCursor().selectedText(); }
    void search(const QString& text) {
        viewer.Edit1->setText(text);
        viewer.Button3->click();
    }

    TempTree tree;
    RecordingMessages messages;
    TRF viewer;
};

TEST_F(ViewerTest, SmallFilesShowWholeAndLargerOnesAsAHexPage) {
    struct Case {
        std::size_t size;
        bool whole;
    };
    for (const Case& c : std::vector<Case>{{0, true}, {63999, true}, {64000, false}}) {
        const std::string path = tree.file("f" + std::to_string(c.size), filled(c.size));
        load(path);
        const QString size = QString::number(c.size);
        EXPECT_EQ(viewer.windowTitle(),
                  " Просмотр файла - " + QString::fromStdString(path) + " - Размер : " + size);
        EXPECT_EQ(viewer.WholeTextMode, c.whole) << c.size;
        EXPECT_EQ(viewer.TextPageMode, c.whole) << c.size;
        EXPECT_EQ(viewer.ScrollBar1->isVisibleTo(&viewer), !c.whole) << c.size;
        EXPECT_EQ(viewer.LinesPerPage, 23);
        if (c.whole) {
            EXPECT_EQ(viewer.Memo1->toPlainText().size(), static_cast<qsizetype>(c.size));
        } else {
            EXPECT_EQ(lines().size(), 23);  // 368 bytes
            EXPECT_TRUE(lines()[0].startsWith(QStringLiteral("00000000: 2E 2E")));
        }
    }
}

TEST_F(ViewerTest, PagesFollowTheScrollBarTheKeysAndTheWheel) {
    load(tree.file("big", filled(64000, {{0, "start"}, {16, "second"}, {63990, "the end"}})));
    const int maximum = viewer.ScrollBar1->maximum();
    ASSERT_EQ(maximum, 3979);
    struct Case {
        const char* name;
        std::function<void()> act;
        int position;
    };
    const std::vector<Case> cases = {
        {"Down", [&] { press(Qt::Key_Down); }, 1},
        {"Down", [&] { press(Qt::Key_Down); }, 2},
        {"Page Down", [&] { press(Qt::Key_PageDown); }, 25},
        {"Page Up", [&] { press(Qt::Key_PageUp); }, 2},
        {"Page Up at the top", [&] { press(Qt::Key_PageUp); }, 1},
        {"wheel towards the user", [&] { turnWheel(viewer.Memo1->viewport(), -1200); }, 2},
        {"wheel away", [&] { turnWheel(viewer.Memo1->viewport(), 15); }, 1},
        {"wheel over the search field", [&] { turnWheel(viewer.Edit1, -120); }, 1},
        {"End", [&] { press(Qt::Key_End); }, maximum},
        {"Page Down at the end", [&] { press(Qt::Key_PageDown); }, maximum},
        {"Up", [&] { press(Qt::Key_Up); }, maximum - 1},
        {"Home", [&] { press(Qt::Key_Home); }, 1},
    };
    for (const Case& c : cases) {
        c.act();
        EXPECT_EQ(position(), c.position) << c.name;
        EXPECT_EQ(viewer.PageOffset, std::max(0, c.position - 1) * 16) << c.name;
    }
    EXPECT_TRUE(lines()[0].endsWith(QStringLiteral("| start...........")));
    viewer.ScrollBar1->setValue(0);  // position 0 shows the page of position 1
    EXPECT_TRUE(lines()[1].endsWith(QStringLiteral("| second..........")));
    press(Qt::Key_End);
    EXPECT_EQ(lines().size(), 22);  // the last page ends with the file
    EXPECT_TRUE(lines().last().startsWith(QStringLiteral("0000F9F0: ")));
    EXPECT_TRUE(lines().last().endsWith(QStringLiteral("the end...")));

    viewer.Button5Click();  // the text page of the same position: 23 lines of 64 bytes
    EXPECT_TRUE(viewer.TextPageMode);
    EXPECT_EQ(viewer.Memo1->toPlainText().size(), 64000 - viewer.PageOffset);
    press(Qt::Key_Home);
    EXPECT_EQ(viewer.Memo1->toPlainText().size(), 1472);
    viewer.show();
    press(Qt::Key_Escape);
    EXPECT_FALSE(viewer.isVisible());
}

TEST_F(ViewerTest, TheWheelScrollsTheWholeTextOneLineAndCreateFormsInstallsTheHook) {
    if (RF == nullptr) {
        createForms({});
    }
    std::string text;
    for (int line = 0; line < 200; ++line) {
        text += "line " + std::to_string(line) + "\n";
    }
    CurrentFilePath = tree.file("lines.txt", text);
    RF->LoadFile();
    RF->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(RF));
    QScrollBar* own = RF->Memo1->verticalScrollBar();
    ASSERT_GT(own->maximum(), 5);
    turnWheel(RF->Memo1->viewport(), -480);
    turnWheel(RF->Memo1->viewport(), -120);
    EXPECT_EQ(own->value(), 2);
    turnWheel(RF->Memo1->viewport(), 120);
    EXPECT_EQ(own->value(), 1);
    RF->hide();
}

TEST_F(ViewerTest, TxtHexSwitchesBetweenTheDisplays) {
    load(tree.file("32", filled(32, {{0, "0123456789abcdefABCDEFGHIJKLMNOP"}})));
    EXPECT_TRUE(viewer.WholeTextMode);
    viewer.Button5Click();
    EXPECT_FALSE(viewer.WholeTextMode);
    EXPECT_FALSE(viewer.TextPageMode);
    EXPECT_TRUE(viewer.ScrollBar1->isVisibleTo(&viewer));
    EXPECT_FALSE(viewer.ScrollBar1->isEnabled());
    EXPECT_EQ(viewer.ScrollBar1->maximum(), 1);
    EXPECT_EQ(
        lines(),
        QStringList({
            QStringLiteral("00000000: 30 31 32 33 34 35 36 37|38 39 61 62 63 64 65 66 | 0123456789abcdef"),
            QStringLiteral("00000010: 41 42 43 44 45 46 47 48|49 4A 4B 4C 4D 4E 4F 50 | ABCDEFGHIJKLMNOP"),
        }));
    viewer.Button5Click();
    EXPECT_TRUE(viewer.TextPageMode);
    EXPECT_EQ(viewer.Memo1->toPlainText(), QStringLiteral("0123456789abcdefABCDEFGHIJKLMNOP"));
    viewer.Button5Click();
    EXPECT_FALSE(viewer.TextPageMode);
}

TEST_F(ViewerTest, ReadingsCycleAndReloadTheLoadedFile) {
    EXPECT_EQ(viewer.Label4->text(), QStringLiteral("UTF-8 UCODE DOS"));
    const std::string paged = tree.file("paged", filled(70000, {{0, "\x8F\xE0\xA8"}, {4, "\x1F\x04"}}));
    load(paged);
    viewer.ScrollBar1->setValue(5);
    struct Case {
        const char* reading;
        const char* others;
        const char* firstColumn;
    };
    const std::vector<Case> cases = {
        {"DOS", "WIN UTF-8 UCODE", "| При.▼♦.........."},
        {"UCODE", "DOS WIN UTF-8", "| ЏаЁ.П.........."},   // units 8F E0, A8 2E, 1F 04 and 2E 2E
        {"UTF-8", "UCODE DOS WIN", "| ►►►.▼♦.........."},  // E0 A8 2E is no sequence
        {"WIN", "UTF-8 UCODE DOS", "| ЏаЁ.▼♦.........."},
    };
    for (const Case& c : cases) {
        viewer.BitBtn1Click();
        EXPECT_EQ(viewer.Label3->text(), QString::fromUtf8(c.reading));
        EXPECT_EQ(viewer.Label4->text(), QString::fromUtf8(c.others));
        EXPECT_GT(viewer.Label4->x(), viewer.Button5->geometry().right()) << c.reading;
        EXPECT_EQ(position(), 0) << c.reading;
        EXPECT_TRUE(lines()[0].endsWith(QString::fromUtf8(c.firstColumn))) << lines()[0].toStdString();
    }

    // DOS to UCODE on a small file in paged display: the whole decoded file, the scroll bar stays.
    load(tree.file("utf16",
                   std::string("\x1F\x04\x40\x04\x38\x04\x32\x04\x35\x04\x42\x04\x0D\x00\x0A\x00!\x00", 18)));
    EXPECT_EQ(viewer.Memo1->toPlainText(), QStringLiteral("▼♦@♦8♦2♦5♦B♦\n►\n►!►"));
    viewer.BitBtn1Click();
    viewer.Button5Click();
    viewer.BitBtn1Click();
    EXPECT_EQ(viewer.Label3->text(), QStringLiteral("UCODE"));
    EXPECT_EQ(viewer.Memo1->toPlainText(), QStringLiteral("Привет\n!"));
    EXPECT_TRUE(viewer.ScrollBar1->isVisibleTo(&viewer));
    viewer.ScrollBar1Change();
    EXPECT_TRUE(lines()[0].endsWith(QStringLiteral("| Привет\u266A\u25D9")));
    viewer.BitBtn1Click();
    viewer.BitBtn1Click();  // back to WIN for the other tests' sake
}

TEST_F(ViewerTest, Utf8PagesFinishTheCharactersTheirEdgesCut) {
    std::string text = "a";
    while (text.size() < 70000) {
        text += "\xD1\x91";  // ё from the second byte on: every page starts and ends inside one
    }
    load(tree.file("utf8", text));
    for (const char* reading : {"DOS", "UCODE", "UTF-8"}) {
        viewer.BitBtn1Click();
        ASSERT_EQ(viewer.Label3->text(), QString::fromUtf8(reading));
    }
    viewer.ScrollBar1->setValue(2);  // offset 16
    const QString column = QStringLiteral("| ·ё·ё·ё·ё·ё·ё·ё·ё");
    EXPECT_TRUE(lines().first().endsWith(column) && lines().last().endsWith(column))
        << lines().last().toStdString();
    viewer.Button5Click();  // the text page of 1472 bytes
    EXPECT_EQ(viewer.Memo1->toPlainText(), QString(736, QChar(0x451)));
}

TEST_F(ViewerTest, WholeTextSearchGoesOnFromTheSelectionAndFoldsCase) {
    load(tree.file("t.txt", codepage::toWin1251(QStringLiteral("Ёлка и ёлка\nвторая ЁЛКА; Ѕ ѕ"))));
    search(QStringLiteral("ёЛКа"));
    EXPECT_EQ(viewer.Memo1->textCursor().selectionStart(), 0);
    EXPECT_EQ(selected(), QStringLiteral("Ёлка"));
    QTest::keyClick(viewer.Edit1, Qt::Key_Return);  // Enter in the search field searches too
    EXPECT_EQ(viewer.Memo1->textCursor().selectionStart(), 7);
    search(QStringLiteral("ёЛКа"));
    EXPECT_EQ(viewer.Memo1->textCursor().selectionStart(), 19);
    search(QStringLiteral("ѕ ѕ"));
    EXPECT_EQ(selected(), QStringLiteral("Ѕ ѕ"));
    EXPECT_TRUE(messages.shown.empty());
    search(QStringLiteral("ёлка"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, kSearchCaption);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("ёлка- не найдено"));
}

TEST_F(ViewerTest, HexPageSearchScrollsToTheMatchAndSelectsItsLabel) {
    const std::size_t size = 100000;
    load(tree.file("hex", filled(size, {{5, "first"},
                                        {0x123, "Needle"},
                                        {0x12A, "needle"},
                                        {0x135, "NEEDLE"},
                                        {8190, "straddle"},
                                        {0x9000, "\x8F\xE0\xA8\xA2\xA5\xE2"},
                                        {0xA000, std::string("\x1F\x04\x40\x04\x38\x04\x32\x04", 8)},
                                        {0xB000, "Ёлка ΣΟΦΊΑ"}})));
    struct Case {
        const char* name;
        QString text;
        int position;
        std::int64_t pageOffset;
        QString label;
    };
    const std::vector<Case> cases = {
        {"in the first bytes", QStringLiteral("FIRST"), 0, 0, QStringLiteral("00000000")},
        {"at 0x123", QStringLiteral("needle"), 0x12, 0x110, QStringLiteral("00000120")},
        {"the same line again: skipped", QStringLiteral("needle"), 0x13, 0x120, QStringLiteral("00000130")},
        {"across two blocks", QStringLiteral("straddle"), 8190 / 16, 8190 / 16 * 16 - 16,
         QStringLiteral("00001FF0")},
    };
    for (const Case& c : cases) {
        search(c.text);
        EXPECT_EQ(position(), c.position) << c.name;
        EXPECT_EQ(viewer.PageOffset, c.pageOffset) << c.name;
        EXPECT_EQ(selected(), c.label) << c.name;
        EXPECT_TRUE(lines()[c.position == 0 ? 0 : 1].startsWith(c.label)) << c.name;
    }
    EXPECT_TRUE(messages.shown.empty());

    search(QStringLiteral("straddle"));  // the previous match is on the page: the search goes on after it
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, kSearchCaption);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("straddle - не найдено"));
    EXPECT_EQ(position(), 8190 / 16);

    viewer.ScrollBar1->setValue(0);  // another page: the search starts at its first byte
    search(QStringLiteral("needle"));
    EXPECT_EQ(position(), 0x12);

    // Each reading looks for the form it shows, without regard to case, and a text not found is named as
    // typed.
    const struct {
        const char* typed;
        std::int64_t pageOffset;  // -1: not found
    } readings[4][2] = {{{"привет", -1}, {"Привет☺", -1}},
                        {{"ПРИВЕТ", 0x9000 - 16}, {"нет такого", -1}},
                        {{"ПРИВ", 0xA000 - 16}, {"привет", -1}},
                        {{"ёлка σοφία", 0xB000 - 16}, {"ПРИВ", -1}}};
    for (const auto& reading : readings) {
        for (const auto& c : reading) {
            viewer.ScrollBar1->setValue(0);
            messages.shown.clear();
            search(QString::fromUtf8(c.typed));
            if (c.pageOffset >= 0) {
                EXPECT_EQ(viewer.PageOffset, c.pageOffset) << c.typed;
            } else {
                ASSERT_EQ(messages.texts().size(), 1u) << c.typed;
                EXPECT_EQ(messages.shown[0].text, QString::fromUtf8(c.typed) + " - не найдено");
            }
        }
        viewer.BitBtn1Click();
    }
}

TEST_F(ViewerTest, AMatchInAFileNoLongerOnDisplayIsDropped) {
    load(tree.file("first", filled(1 << 20, {{(1 << 20) - 10, "needle"}})));
    const std::string second = tree.file("second", filled(70000));
    const CallbackPump loadWhileSearching([&](int call) {
        if (call == 0) {
            load(second);  // the search window's View while the search lets events through
        }
    });
    search(QStringLiteral("needle"));
    EXPECT_EQ(viewer.loadedPath(), second);
    EXPECT_EQ(position(), 0);
    EXPECT_FALSE(viewer.Memo1->textCursor().hasSelection());
    EXPECT_TRUE(messages.shown.empty());
}

// Each read takes the file as it is then. A file that vanished, became a folder or may not be read is
// reported once with its name and reason, by a search as by a page, through the handler Qt called; a match in
// appended bytes is shown with the scroll range taken again; a file that shrank below the page keeps the
// keys.
TEST_F(ViewerTest, TheFileIsTakenAsItIsAtEachRead) {
    const auto enter = [&] { QTest::keyClick(viewer.Edit1, Qt::Key_Return); };
    struct Case {
        const char* name;
        std::function<void(const char* path)> act;
        int errorNumber;  // of the one error shown; 0 when the search answers
        QString firstLine, selection;
    };
    const std::vector<Case> cases = {
        {"deleted, then TXT - HEX",
         [&](const char* path) { unlink(path), QTest::mouseClick(viewer.Button5, Qt::LeftButton); }, ENOENT,
         "", ""},
        {"a folder in its place", [&](const char* path) { unlink(path), mkdir(path, 0755), enter(); }, EISDIR,
         "00000000: 2E", ""},
        {"unreadable", [&](const char* path) { chmod(path, 0), asUnprivileged(enter); }, EACCES,
         "00000000: 2E", ""},
        {"appended",
         [&](const char* path) {
             std::ofstream(path, std::ios::app) << filled(1000) << "tail";
             enter();
         },
         0, "000113F0: ", "00011550"},
        {"shrunk below the page",
         [&](const char* path) {
             press(Qt::Key_End);
             ASSERT_EQ(truncate(path, 100), 0);
             press(Qt::Key_Up);
             press(Qt::Key_Home);
             enter();
         },
         0, "00000000: 2E", ""},
    };
    viewer.Edit1->setText(QStringLiteral("tail"));
    for (const Case& c : cases) {
        const std::string path = tree.file(c.name, filled(70000));
        load(path);
        c.act(path.c_str());
        EXPECT_TRUE(lines()[0].startsWith(c.firstLine)) << c.name;
        EXPECT_EQ(selected(), c.selection) << c.name;
        const std::vector<QString> texts = messages.texts();
        if (c.errorNumber != 0) {
            ASSERT_EQ(texts.size(), 1u) << c.name;
            EXPECT_TRUE(
                texts[0].contains(QString::fromStdString(path) + "\": " + std::strerror(c.errorNumber)))
                << c.name;
        } else {
            EXPECT_EQ(texts, c.selection.isEmpty() ? std::vector<QString>{"tail - не найдено"}
                                                   : std::vector<QString>{})
                << c.name;
        }
        messages.shown.clear();
    }
}

// A long search ends at once when the viewer is hidden, another file is loaded or the program ends, and when
// "TXT - HEX" is pressed, which then acts; Enter pressed again adds no search of its own.
TEST_F(ViewerTest, ALongSearchEndsOrGoesOnAsWhatComesMeanwhileAsks) {
    if (RF == nullptr) {
        createForms({});  // the closing search window saves the settings window's paths
    }
    const std::size_t size = 3 << 20;
    const std::string path = tree.file("long", filled(size, {{size - 10, "needle"}}));
    const std::string other = tree.file("other", filled(70000, {{0, "other"}}));
    TFILESCH searchWindow;
    struct Case {
        const char* name;
        std::function<void()> meanwhile;
        bool endsAtOnce;
        QString firstLine, selection;
    };
    const std::vector<Case> cases = {
        {"nothing", [] {}, false, "", "002FFFF0"},
        {"a second Enter", [&] { QTest::keyClick(viewer.Edit1, Qt::Key_Return); }, false, "", "002FFFF0"},
        {"hidden", [&] { viewer.hide(); }, true, "00000000: 2E", ""},
        {"Esc in the search field", [&] { QTest::keyClick(viewer.Edit1, Qt::Key_Escape); }, true,
         "00000000: 2E", ""},
        {"another file loaded", [&] { load(other); }, true, "00000000: 6F 74", ""},
        {"TXT - HEX", [&] { viewer.Button5->click(); }, true, "....", ""},
        {"the program's end", [&] { searchWindow.close(); }, true, "00000000: 2E", ""},  // closes the viewer
    };
    int wholeSearch = 0;
    for (const Case& c : cases) {
        load(path);
        viewer.show();
        int pumps = 0;
        const CallbackPump pump([&](int call) {
            pumps = call + 1;
            if (call == 0) {
                c.meanwhile();
            }
        });
        QTimer::singleShot(0, [&] {
            search(QStringLiteral("needle"));
            QCoreApplication::exit();
        });
        QCoreApplication::exec();
        wholeSearch = wholeSearch == 0 ? pumps : wholeSearch;
        EXPECT_EQ(pumps, c.endsAtOnce ? 1 : wholeSearch) << c.name;
        EXPECT_TRUE(messages.shown.empty()) << c.name;
        EXPECT_TRUE(lines()[0].startsWith(c.firstLine)) << c.name;
        EXPECT_EQ(selected(), c.selection) << c.name;
    }
}

// A file viewed to find a text opens in the reading that shows the text; one viewed without a text in the
// reading its byte-order mark names, else in the reading on display.
TEST_F(ViewerTest, AFileOpensInTheReadingThatShowsItsText) {
    const QString text = QStringLiteral("аренды");
    const QString line = QStringLiteral("Договор аренды\n");
    const std::string utf8Mark = "\xEF\xBB\xBF";
    const std::string utf16Mark = "\xFF\xFE";
    const std::string utf16 = encoded(line, TextEncoding::Utf16le);
    const std::string utf8 = encoded(line, TextEncoding::Utf8);
    struct Case {
        const char* name;
        std::string bytes;
        std::optional<TextToFind> find;
        QString before, after;
        bool showsText;
    };
    const std::vector<Case> cases = {
        {"Windows-1251", encoded(line, TextEncoding::Win1251), TextToFind{text}, "UCODE", "WIN", true},
        {"UTF-8", utf8, TextToFind{text}, "WIN", "UTF-8", true},
        {"UTF-16LE", utf16, TextToFind{text}, "WIN", "UCODE", true},
        {"UTF-16LE, a Latin text", encoded("Lease", TextEncoding::Utf16le), TextToFind{"LEASE"}, "WIN",
         "UCODE", false},
        {"large UTF-16LE", std::string(70000, '.') + utf16, TextToFind{text}, "UTF-8", "UCODE", false},
        {"code page 866, DOS ticked", encoded(line, TextEncoding::Cp866), TextToFind{text, true}, "WIN",
         "DOS", true},
        {"a text it does not hold", utf16Mark + utf16, TextToFind{"купли"}, "UTF-8", "WIN", false},
        {"an empty text, UTF-16LE mark", utf16Mark + utf16, TextToFind{""}, "WIN", "UCODE", true},
        {"no text, UTF-8 mark", utf8Mark + utf8, std::nullopt, "WIN", "UTF-8", true},
        {"no text, UTF-16LE mark", utf16Mark + utf16, std::nullopt, "DOS", "UCODE", true},
        {"no text, no mark", utf8, std::nullopt, "DOS", "DOS", false},
    };
    for (const Case& c : cases) {
        viewer.Label3->setText(c.before);
        CurrentFilePath = tree.file(c.name, c.bytes);
        if (c.find) {
            viewer.LoadFileFinding(*c.find);
            EXPECT_EQ(viewer.Edit1->text(), c.find->text) << c.name;
        } else {
            viewer.LoadFile();
        }
        EXPECT_EQ(viewer.Label3->text(), c.after) << c.name;
        EXPECT_EQ(viewer.loadedPath(), CurrentFilePath) << c.name;
        EXPECT_EQ(viewer.Memo1->toPlainText().contains(text), c.showsText) << c.name;
    }
    EXPECT_TRUE(messages.shown.empty());

    // Hidden while the file is searched for the text's forms: it opens in the reading on display.
    viewer.Label3->setText(QStringLiteral("DOS"));
    viewer.show();
    CurrentFilePath = tree.file("long", std::string(3 << 20, '.') + utf16);
    const CallbackPump hideAtOnce([&](int) { viewer.hide(); });
    viewer.LoadFileFinding({text});
    EXPECT_EQ(hideAtOnce.calls(), 1);
    EXPECT_EQ(viewer.Label3->text(), QStringLiteral("DOS"));
    EXPECT_EQ(viewer.loadedPath(), CurrentFilePath);
}

TEST_F(ViewerTest, TextPageSearchOnlyTellsToSwitchAndSearchesTurnWrappingOff) {
    load(tree.file("text", filled(70000, {{10, "word"}})));
    EXPECT_EQ(viewer.Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    viewer.Button5Click();
    search(QStringLiteral("word"));
    EXPECT_EQ(messages.texts(), std::vector<QString>({QStringLiteral("Файл большой! Включи - HEX ")}));
    EXPECT_EQ(messages.shown[0].kind, ShownMessage::Information);
    EXPECT_EQ(viewer.Memo1->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(viewer.Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    viewer.BitBtn3Click();
    EXPECT_EQ(viewer.Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(viewer.Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST_F(ViewerTest, AFortyGibibyteSparseFilePagesToItsLastByte) {
    const std::uint64_t size = 40ULL << 30;
    const std::string path = tree.path("sparse");
    const int fd = open(path.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, static_cast<off_t>(size)), 0);
    ASSERT_EQ(pwrite(fd, "START", 5, 0), 5);
    ASSERT_EQ(pwrite(fd, "MIDDLE", 6, static_cast<off_t>(size / 2)), 6);
    ASSERT_EQ(pwrite(fd, "LAST", 4, static_cast<off_t>(size - 4)), 4);
    close(fd);
    load(path);
    EXPECT_TRUE(lines()[0].startsWith(QStringLiteral("00000000: 53 54 41 52 54 00")));
    viewer.ScrollBar1->setValue(671088641);  // a step covers two lines here
    EXPECT_EQ(viewer.PageOffset, static_cast<std::int64_t>(size / 2));
    EXPECT_TRUE(lines()[0].startsWith(QStringLiteral("500000000: 4D 49 44 44 4C 45 00")));
    press(Qt::Key_End);
    EXPECT_TRUE(lines().last().startsWith(QStringLiteral("9FFFFFFF0: 00")));
    EXPECT_TRUE(lines().last().endsWith(QStringLiteral("LAST")));
    viewer.Button5Click();
    EXPECT_TRUE(viewer.Memo1->toPlainText().endsWith(QStringLiteral("LAST")));
}

TEST_F(ViewerTest, PagesComeFromTheLoadedFileWhateverTheCurrentPathSaysNow) {
    const std::string loaded = tree.file("loaded", filled(70000, {{16, "loaded"}}));
    load(loaded);
    CurrentFilePath = tree.file("other", filled(70000, {{16, "other!"}}));  // what a search run does
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    EXPECT_TRUE(lines()[0].endsWith(QStringLiteral("| loaded..........")));
    viewer.BitBtn1Click();
    EXPECT_EQ(viewer.loadedPath(), loaded);
    EXPECT_TRUE(viewer.windowTitle().contains(QStringLiteral("/loaded")));
    viewer.BitBtn1Click();
    viewer.BitBtn1Click();
}

TEST_F(ViewerTest, AResizeChangesTheNextPageButNotTheRange) {
    load(tree.file("big", filled(100000)));
    viewer.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
    const int maximum = viewer.ScrollBar1->maximum();
    viewer.resize(717, 488 + 100);
    QCoreApplication::processEvents();
    EXPECT_EQ(viewer.Memo1->height(), 515);
    EXPECT_EQ(viewer.LinesPerPage, 29);
    EXPECT_EQ(viewer.ScrollBar1->maximum(), maximum);
    press(Qt::Key_Down);
    EXPECT_EQ(lines().size(), 29);

    // A page of one line cannot show the line before a match: the page then starts at the match's line.
    viewer.resize(717, 100);
    QCoreApplication::processEvents();
    ASSERT_EQ(viewer.LinesPerPage, 1);
    viewer.Edit1->setText(QStringLiteral("...."));
    viewer.ScrollBar1->setValue(0x20);
    viewer.Button3Click();
    EXPECT_EQ(viewer.PageOffset, 0x1F0);
    EXPECT_EQ(lines().size(), 1);
    EXPECT_EQ(selected(), QStringLiteral("000001F0"));
    viewer.hide();
}

TEST_F(ViewerTest, FilesThatCannotBeShown) {
    const std::string folder = tree.folder("folder");
    CurrentFilePath = folder;
    EXPECT_THROW(viewer.LoadFile(), FileError);
    try {
        load(tree.path("missing"));
        FAIL() << "a missing file loads";
    } catch (const FileError& failure) {
        EXPECT_EQ(failure.path(), tree.path("missing"));
        EXPECT_EQ(failure.errorNumber(), ENOENT);
    }
    EXPECT_TRUE(viewer.WholeTextMode);
    EXPECT_TRUE(viewer.Memo1->toPlainText().isEmpty());
    EXPECT_TRUE(viewer.windowTitle().endsWith(QStringLiteral(" - Размер : 0")));

    const std::string gone = tree.file("gone", filled(70000));
    load(gone);
    ASSERT_EQ(unlink(gone.c_str()), 0);
    press(Qt::Key_Down);  // the next page cannot be read: reported, and the page stays empty
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, ShownMessage::Error);
    EXPECT_TRUE(messages.shown[0].text.contains(QString::fromStdString(gone)));
    EXPECT_TRUE(viewer.Memo1->toPlainText().isEmpty());

    const std::string fifo = tree.path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    load(fifo);  // never opened: an empty file
    EXPECT_TRUE(viewer.Memo1->toPlainText().isEmpty());
}

TEST_F(ViewerTest, CreationLoadsTheFirstArgumentAndTakesTheSecondAsSearchText) {
    const std::string path = tree.file("arg.txt", "привет");
    const TRF withTwo({QString::fromStdString(path), QStringLiteral("ИВ")});
    QCoreApplication::processEvents();  // the file is searched for the text once events run
    EXPECT_EQ(withTwo.loadedPath(), path);
    EXPECT_EQ(withTwo.Label3->text(), QStringLiteral("UTF-8"));
    EXPECT_EQ(withTwo.Memo1->toPlainText(), QStringLiteral("привет"));
    EXPECT_EQ(withTwo.Edit1->text(), QStringLiteral("ИВ"));
    EXPECT_FALSE(withTwo.Memo1->textCursor().hasSelection());
    EXPECT_FALSE(withTwo.isVisible());
    const TRF withMissing(
        {QString::fromStdString(tree.path("none")), QStringLiteral("a"), QStringLiteral("b")});
    EXPECT_TRUE(withMissing.Edit1->text().isEmpty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].kind, ShownMessage::Error);
    EXPECT_TRUE(messages.shown[0].text.contains(QString::fromStdString(tree.path("none"))));
}

}  // namespace
