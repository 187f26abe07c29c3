// The run over documents: their text is searched besides their bytes, the documents whose text cannot be read
// are counted, "DOS" keeps to the bytes, and "Стоп" ends a document's read.
#include <unistd.h>

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "PdfSamples.h"
#include "SearchWindowSupport.h"
#include "TestSupport.h"
#include "search/FS1.h"
#include "search/results/ResultsModel.h"

TEST(DocumentSearch, DocumentsAreFoundByTheirTextAndUnreadableOnesCounted) {
    TFILESCH* w = searchWindowAtDefaults();
    RecordingMessages messages;
    const PdfHelperBesideTheProgram helper;
    FakeDocumentReader reader;
    TempTree tree;
    const auto run = [&] {
        messages.shown.clear();
        w->Edit1->setText(QString::fromStdString(tree.root()));
        w->Button2Click();
        std::vector<std::string> rows;
        for (int row = 0; row < w->ListBox1Items->rowCount(); ++row) {
            rows.push_back(w->ListBox1Items->line(row).substr(tree.root().size() + 1));
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    };
    const std::string pdf = samplePdf({"Lease agreement No 17"});
    const std::string document = FakeDocumentReader::kFakeDocument;
    tree.file("plain.txt", "LEASE AGREEMENT");
    tree.file("split.doc", document +
                               "Le\xC2\xAD"
                               "ase\xC2\xA0\nagreement");
    tree.file("apart.doc", document +
                               "lease\x1e"
                               "agreement");
    tree.file("locked.doc", FakeDocumentReader::kUnreadableDocument);
    tree.file("page.pdf", pdf);
    tree.file("cut.pdf", pdf.substr(0, pdf.size() - 40));
    w->CheckBox1->setChecked(true);
    w->Edit5->setText(QStringLiteral("lease agreement"));
    EXPECT_EQ(run(), (std::vector<std::string>{"page.pdf", "plain.txt", "split.doc"}));
    EXPECT_EQ(messages.shown.at(0).text, QStringLiteral("Поиск успешен! Выбери то, что нужно.\n"
                                                        "Не удалось прочитать текст документов: 2"));

    w->CheckBox3->setChecked(true);  // "DOS": the bytes alone, no document read
    const int reads = reader.reads;
    EXPECT_EQ(run(), (std::vector<std::string>{"plain.txt"}));
    EXPECT_EQ(reader.reads, reads);
    EXPECT_EQ(messages.shown.at(0).text, QStringLiteral("Поиск успешен! Выбери то, что нужно."));

    w->CheckBox3->setChecked(false);
    tree.file("0-endless.doc", FakeDocumentReader::kEndlessDocument);
    CallbackPump pump([&](int) {
        if (reader.endlessRead == FakeDocumentReader::EndlessRead::Started && w->Button3->isEnabled()) {
            QTest::mouseClick(w->Button3, Qt::LeftButton);  // "Стоп" while the document is read
        }
    });
    run();
    EXPECT_EQ(reader.endlessRead, FakeDocumentReader::EndlessRead::Cancelled);
    EXPECT_TRUE(w->Button2->isEnabled());
    ASSERT_EQ(chdir("/"), 0);
}
