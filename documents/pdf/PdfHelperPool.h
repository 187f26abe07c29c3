#pragma once
// The PDF text source of the program: a pool of helper processes, each reading one PDF at a time with poppler
// under a memory limit and a time limit per document. A helper that crashes, runs past its time or is
// cancelled is killed and started again for the next document; that document alone is Unreadable (or
// Cancelled), never the program.

#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "documents/DocumentText.h"
#include "documents/TextBudget.h"

struct PdfHelperLimits {
    std::chrono::milliseconds perDocument{10000};
    std::uint64_t memoryBytes = std::uint64_t{1} << 30;
    // The most bytes one answer may bring: a document's text budget (its pages cost more to keep than to
    // send).
    std::uint64_t answerBytes = TextBudget::kMostBytes;
};

class PdfHelperPool : public PdfTextSource {
  public:
    // `command` starts a helper (the program and its arguments); up to `helpers` run at once, started when
    // first needed.
    PdfHelperPool(std::vector<std::string> command, unsigned helpers, PdfHelperLimits limits = {});
    ~PdfHelperPool() override;
    PdfHelperPool(const PdfHelperPool&) = delete;
    PdfHelperPool& operator=(const PdfHelperPool&) = delete;

    // Safe to call from several threads at once; a call waits for a free helper, cancellable meanwhile.
    DocumentText read(const std::string& path, const DocumentCancel& cancelled) override;

  private:
    struct Helper {
        pid_t pid = -1;
        int channel = -1;
        bool busy = false;
    };

    Helper* take(const DocumentCancel& cancelled);
    void giveBack(Helper& helper);
    DocumentText converse(Helper& helper, const std::string& path, const DocumentCancel& cancelled);
    bool start(Helper& helper);

    std::vector<std::string> command_;
    PdfHelperLimits limits_;
    std::mutex mutex_;
    std::condition_variable freed_;
    std::vector<Helper> helpers_;
};

// The pool of the helper installed beside the program (varnel-pdf-text in the program folder).
std::unique_ptr<PdfTextSource> makePdfTextSource(unsigned helpers);
