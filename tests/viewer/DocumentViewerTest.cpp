// The file viewer on documents: their text as lines, the carried-over text found across a line end, the
// file's bytes in hex pages and back, PDF pages, and a document whose text cannot be read shown as any file.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "PdfSamples.h"
#include "TestSupport.h"
#include "search/FS1.h"
#include "viewer/RF1.h"

TEST(DocumentViewer, ShowsTheTextAndFindsTheCarriedOverText) {
    const PdfHelperBesideTheProgram helper;
    TempTree tree;
    RecordingMessages messages;
    FakeDocumentReader reader;
    TRF viewer;
    const auto load = [&](const std::string& name, const std::string& bytes) {
        CurrentFilePath = tree.file(name, bytes);
        viewer.LoadFile();
        CurrentFilePath.clear();
    };
    const QString text = QStringLiteral("Договор аренды\nпоме\u00ADщения\nАРЕНДЫ  ПОМЕЩЕНИЯ");
    load("contract.doc", std::string(FakeDocumentReader::kFakeDocument) +
                             "Договор аренды\nпоме\xC2\xADщения\x1eАРЕНДЫ  ПОМЕЩЕНИЯ");
    EXPECT_EQ(viewer.Memo1->toPlainText(), text);
    EXPECT_TRUE(viewer.windowTitle().endsWith(QStringLiteral(" - текст документа")));
    viewer.Edit1->setText(QStringLiteral("аренды помещения"));
    for (const QString& match :
         {QStringLiteral("аренды\u2029поме\u00ADщения"), QStringLiteral("АРЕНДЫ  ПОМЕЩЕНИЯ")}) {
        viewer.Button3->click();
        EXPECT_EQ(viewer.Memo1->textCursor().selectedText(), match);
    }
    viewer.Button3->click();
    EXPECT_EQ(messages.shown.size(), 1u);  // "не найдено"

    viewer.Button5->click();  // the file's own bytes in hex pages
    EXPECT_TRUE(viewer.windowTitle().endsWith(QStringLiteral(" - байты файла")));
    EXPECT_TRUE(viewer.Memo1->toPlainText().startsWith(QStringLiteral("00000000")));
    viewer.Button5->click();
    EXPECT_TRUE(viewer.showsDocumentText());
    EXPECT_TRUE(viewer.Memo1->toPlainText().startsWith(QStringLiteral("Договор аренды")));

    load("page.pdf", samplePdf({"Lease agreement", "Second page"}));
    EXPECT_TRUE(viewer.Memo1->toPlainText().contains(QStringLiteral("Lease agreement\nSecond page")));

    {  // another file asked for while a document is read ends the read and is shown
        CallbackPump pump([&](int call) {
            if (call == 0) {
                load("other.txt", "other");
            }
        });
        load("endless.doc", FakeDocumentReader::kEndlessDocument);
    }
    EXPECT_EQ(reader.endlessRead, FakeDocumentReader::EndlessRead::Cancelled);
    EXPECT_EQ(viewer.Memo1->toPlainText(), QStringLiteral("other"));

    load("locked.doc", FakeDocumentReader::kUnreadableDocument);
    EXPECT_FALSE(viewer.showsDocumentText());
    EXPECT_EQ(viewer.Memo1->toPlainText(), QString::fromLatin1(FakeDocumentReader::kUnreadableDocument));
}

TEST(DocumentViewer, SlicesEndAfterALineEndAndNeverSplitAPair) {
    const qsizetype slice = kMemoSliceChars;
    const QString plain(slice * 2, QLatin1Char('a'));
    QString lines = plain;
    lines[100] = QLatin1Char('\n');
    lines[slice - 10] = QLatin1Char('\n');
    QString pair = plain;
    pair[slice - 1] = QChar(0xD83D);
    pair[slice] = QChar(0xDE00);
    const struct {
        const char* name;
        QString text;
        qsizetype from;
        qsizetype end;
    } cases[] = {
        {"short text whole", QStringLiteral("a\nb"), 0, 3},
        {"no line end", plain, 0, slice},
        {"after the last line end", lines, 0, slice - 9},
        {"line end before from ignored", lines, slice - 9, 2 * slice - 9},
        {"pair kept whole", pair, 0, slice - 1},
        {"the rest", plain, slice, 2 * slice},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(memoSliceEnd(c.text, c.from), c.end) << c.name;
    }
}

// A long text fills the memo a slice at a time, letting events through; the reading switch pressed
// meanwhile ends the filling and the text is filled anew, whole.
TEST(DocumentViewer, FillsALongTextWhileTheWindowAnswers) {
    TempTree tree;
    FakeDocumentReader reader;
    TRF viewer;
    std::string bytes = FakeDocumentReader::kFakeDocument;
    QString whole;
    for (int block = 0; block < 4000; ++block) {
        const std::string line = "абзац " + std::to_string(block) + " договора аренды помещения";
        bytes += (block ? "\x1e" : "") + line;
        whole += (block ? "\n" : "") + QString::fromStdString(line);
    }
    CurrentFilePath = tree.file("long.doc", bytes);
    qsizetype shownAtFirstSwitch = -1;
    CallbackPump pump([&](int) {
        const qsizetype shown = viewer.Memo1->toPlainText().size();
        if (shownAtFirstSwitch < 0 && shown > 0) {
            shownAtFirstSwitch = shown;
            viewer.BitBtn1->click();
        }
    });
    viewer.LoadFile();
    EXPECT_GT(shownAtFirstSwitch, 0);
    EXPECT_LT(shownAtFirstSwitch, whole.size());
    EXPECT_EQ(viewer.Memo1->toPlainText(), whole);
    EXPECT_EQ(viewer.Label3->text(), QStringLiteral("DOS"));
}

// The viewer's search in a document's text ends with nothing once it is cancelled, between blocks.
TEST(DocumentViewer, ACancelledSearchFindsNothing) {
    const DocumentView view({"first block", "договор аренды"});
    int asked = 0;
    EXPECT_FALSE(view.find(QStringLiteral("аренды"), 0, [&] { return ++asked > 1; }));
    EXPECT_EQ(asked, 2);
    EXPECT_TRUE(view.find(QStringLiteral("аренды"), 0, [] { return false; }));
}
