// The PDF helpers on PDFs the tests write: text read page by page, every kind of failure costing one document
// and the pool going on with the next.
#include <gtest/gtest.h>

#include <climits>

#include "DeepChain.h"
#include "PdfSamples.h"
#include "TestSupport.h"
#include "documents/pdf/PdfHelperPool.h"

using Status = DocumentText::Status;

TEST(PdfTextSource, ReadsPagesAndCountsEveryFailureAsOneDocument) {
    TempTree tree;
    const std::string good = samplePdf({"Lease agreement", "Second page"});
    struct Case {
        std::string name, bytes;
        std::vector<std::string> pages;  // none when the text cannot be read, for the reason given
        std::string reason;
    } cases[] = {
        {"good.pdf", good, {"Lease agreement", "Second page"}, ""},
        {"encrypted.pdf", samplePdf({"Lease agreement"}, true), {}, "файл PDF защищён паролем"},
        {"cut.pdf", good.substr(0, good.size() / 2), {}, "файл PDF неполон"},
        {"scan.pdf", samplePdf({"", ""}), {}, "в файле PDF нет текстового слоя"},
        {"not.pdf", "%PDF-1.4 %%EOF", {}, "файл PDF повреждён"},
        {"again.pdf", good, {"Lease agreement", "Second page"}, ""},
    };
    PdfHelperPool pool({kPdfHelper}, 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const DocumentText text = pool.read(tree.file(c.name, c.bytes), [] { return false; });
        EXPECT_EQ(text.status, c.pages.empty() ? Status::Unreadable : Status::Read);
        EXPECT_EQ(text.blocks, c.pages);
        EXPECT_EQ(text.reason, c.reason);
    }
}

// A PDF whose path is longer than the system takes whole is read too.
TEST(PdfTextSource, ReadsAPdfPastPathMax) {
    TempTree tree;
    const DeepChain chain(tree.root(), 40, std::string(120, 'd'), "deep.pdf", samplePdf({"Lease agreement"}));
    ASSERT_GT(chain.path("deep.pdf").size(), static_cast<std::size_t>(PATH_MAX));
    PdfHelperPool pool({kPdfHelper}, 1);
    const DocumentText text = pool.read(chain.path("deep.pdf"), [] { return false; });
    EXPECT_EQ(text.blocks, std::vector<std::string>{"Lease agreement"}) << text.reason;
}

// A helper that hangs, crashes or runs out of memory is killed and started again; a cancelled read ends.
TEST(PdfTextSource, LimitsAndCancelCostOneDocument) {
    TempTree tree;
    const std::string pdf = tree.file("good.pdf", samplePdf({"Lease agreement"}));
    PdfHelperLimits tight;
    tight.perDocument = std::chrono::milliseconds(200);
    PdfHelperLimits tinyMemory;
    tinyMemory.memoryBytes = std::uint64_t{8} << 20;
    struct Case {
        const char* name;
        std::vector<std::string> command;
        PdfHelperLimits limits;
        bool cancel;
        Status status;
    } cases[] = {
        {"hangs", {"/bin/sh", "-c", "sleep 30"}, tight, false, Status::Unreadable},
        {"crashes", {"/bin/sh", "-c", "kill -SEGV $$"}, {}, false, Status::Unreadable},
        {"memory", {kPdfHelper}, tinyMemory, false, Status::Unreadable},
        {"cancelled", {"/bin/sh", "-c", "sleep 30"}, {}, true, Status::Cancelled},
        {"missing", {tree.path("no-such-helper")}, {}, false, Status::Unreadable},
        // A million empty pages: 4 MB to send, more than a document's text budget to keep.
        {"countless pages",
         {"/bin/sh", "-c", "printf '\\001\\100\\102\\017\\000' >&3; head -c 4000000 /dev/zero >&3; sleep 30"},
         {},
         false,
         Status::Unreadable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PdfHelperPool pool(c.command, 1, c.limits);
        int polls = 0;
        for (int document = 0; document < 2; ++document) {
            const DocumentText text = pool.read(pdf, [&] { return c.cancel && ++polls > 3; });
            EXPECT_EQ(text.status, c.status) << text.reason;
        }
    }
}
