// The file viewer on documents: their text as lines, the carried-over text found across a line end, the
// file's bytes in hex pages and back, and a document whose text cannot be read shown as any file.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "DocumentSamples.h"
#include "TestSupport.h"
#include "platform/files/ProgramFolder.h"
#include "search/FS1.h"
#include "viewer/RF1.h"

namespace {

class DocumentViewerTest : public testing::Test {
  protected:
    void SetUp() override { replaceProgramFolder(pdfHelperFolder()); }
    void TearDown() override {
        replaceProgramFolder("");
        CurrentFilePath.clear();
    }
    void load(const std::string& path) {
        CurrentFilePath = path;
        viewer.LoadFile();
    }
    QString selected() const { return viewer.Memo1->textCursor().selectedText(); }

    TempTree tree;
    RecordingMessages messages;
    FakeDocumentReader reader;
    TRF viewer;
};

}  // namespace

TEST_F(DocumentViewerTest, ShowsTheTextAndFindsTheCarriedOverText) {
    load(tree.file("contract.doc", std::string(FakeDocumentReader::kFakeDocument) +
                                       "Договор аренды\nпоме\xC2\xADщения\x1eАРЕНДЫ  ПОМЕЩЕНИЯ"));
    EXPECT_EQ(viewer.Memo1->toPlainText(),
              QStringLiteral("Договор аренды\nпоме\u00ADщения\nАРЕНДЫ  ПОМЕЩЕНИЯ"));
    EXPECT_TRUE(viewer.windowTitle().endsWith(QStringLiteral(" - текст документа")));
    viewer.Edit1->setText(QStringLiteral("аренды помещения"));
    for (const QString& match :
         {QStringLiteral("аренды\u2029поме\u00ADщения"), QStringLiteral("АРЕНДЫ  ПОМЕЩЕНИЯ")}) {
        viewer.Button3->click();
        EXPECT_EQ(selected(), match);
    }
    viewer.Button3->click();
    EXPECT_EQ(messages.shown.size(), 1u);

    viewer.Button5->click();  // the file's own bytes in hex pages
    EXPECT_FALSE(viewer.showsDocumentText());
    EXPECT_TRUE(viewer.windowTitle().endsWith(QStringLiteral(" - байты файла")));
    EXPECT_TRUE(viewer.Memo1->toPlainText().startsWith(QStringLiteral("00000000")));
    viewer.Button5->click();
    EXPECT_TRUE(viewer.showsDocumentText());
    EXPECT_TRUE(viewer.Memo1->toPlainText().startsWith(QStringLiteral("Договор аренды")));
}

TEST_F(DocumentViewerTest, PdfPagesAreLinesAndAnUnreadableDocumentIsAnyFile) {
    load(tree.file("page.pdf", samplePdf({"Lease agreement", "Second page"})));
    EXPECT_TRUE(viewer.showsDocumentText());
    EXPECT_TRUE(viewer.Memo1->toPlainText().contains(QStringLiteral("Lease agreement")));
    EXPECT_TRUE(viewer.Memo1->toPlainText().contains(QStringLiteral("Second page")));

    load(tree.file("locked.doc", FakeDocumentReader::kUnreadableDocument));
    EXPECT_FALSE(viewer.showsDocumentText());
    EXPECT_EQ(viewer.Memo1->toPlainText(), QString::fromLatin1(FakeDocumentReader::kUnreadableDocument));
    EXPECT_FALSE(viewer.windowTitle().contains(QStringLiteral("документа")));
}
