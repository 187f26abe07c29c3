// The file viewer on documents: their text as lines, the carried-over text found across a line end, the
// file's bytes in hex pages and back, PDF pages, and a document whose text cannot be read shown as any file.
#include <gtest/gtest.h>

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
