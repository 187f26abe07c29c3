// The run over documents: their text is searched besides their bytes, the documents whose text cannot be read
// are counted, "DOS" keeps to the bytes, and "Стоп" ends a document's read.
#include <unistd.h>

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "DocumentSamples.h"
#include "SearchWindowSupport.h"
#include "TestSupport.h"
#include "search/FS1.h"
#include "search/results/ResultsModel.h"

namespace {

using Lines = std::vector<std::string>;

class DocumentSearchTest : public testing::Test {
  protected:
    void SetUp() override {
        w = searchWindowAtDefaults();
        w->CheckBox1->setChecked(true);
        w->Edit5->setText(QStringLiteral("lease agreement"));
    }
    void TearDown() override { ASSERT_EQ(chdir("/"), 0); }

    Lines run(const std::string& folder) {
        w->Edit1->setText(QString::fromStdString(folder));
        w->Button2Click();
        Lines rows;
        for (int row = 0; row < w->ListBox1Items->rowCount(); ++row) {
            rows.push_back(w->ListBox1Items->line(row));
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    TFILESCH* w = nullptr;
    RecordingMessages messages;
    PdfHelperBesideTheProgram helper;
    FakeDocumentReader reader;
    TempTree tree;
};

}  // namespace

TEST_F(DocumentSearchTest, DocumentsAreFoundByTheirTextAndUnreadableOnesCounted) {
    const std::string pdf = samplePdf({"Lease agreement No 17"});
    tree.file("plain.txt", "LEASE AGREEMENT");
    tree.file("split.doc", std::string(FakeDocumentReader::kFakeDocument) +
                               "Le\xC2\xAD"
                               "ase\xC2\xA0\nagreement");
    tree.file("apart.doc", std::string(FakeDocumentReader::kFakeDocument) +
                               "lease\x1e"
                               "agreement");
    tree.file("locked.doc", FakeDocumentReader::kUnreadableDocument);
    tree.file("page.pdf", pdf);
    tree.file("cut.pdf", pdf.substr(0, pdf.size() - 40));
    EXPECT_EQ(run(tree.root()),
              (Lines{tree.path("page.pdf"), tree.path("plain.txt"), tree.path("split.doc")}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("Поиск успешен! Выбери то, что нужно.\n"
                                                     "Не удалось прочитать текст документов: 2"));

    w->CheckBox3->setChecked(true);  // "DOS": the bytes alone, no document read
    const int reads = reader.reads;
    messages.shown.clear();
    EXPECT_EQ(run(tree.root()), (Lines{tree.path("plain.txt")}));
    EXPECT_EQ(reader.reads, reads);
    EXPECT_EQ(messages.shown.at(0).text, QStringLiteral("Поиск успешен! Выбери то, что нужно."));
}

TEST_F(DocumentSearchTest, StopEndsTheReadOfADocument) {
    tree.file("endless.doc", FakeDocumentReader::kEndlessDocument);
    CallbackPump pump([&](int call) {
        if (call == 20) {
            QTest::mouseClick(w->Button3, Qt::LeftButton);
        }
    });
    EXPECT_TRUE(run(tree.root()).empty());
    EXPECT_TRUE(reader.endlessReadCancelled);
    EXPECT_TRUE(w->Button2->isEnabled());
}
