#pragma once
// Documents the tests write: PDFs with a text layer in a standard font (or with none, encrypted, cut short),
// and a reader that stands in for the office readers of documents/ (FakeDocumentReader).

#include <atomic>
#include <string>
#include <vector>

#include "documents/DocumentReader.h"
#include "platform/files/ProgramFolder.h"

// A PDF with one page for each text, drawn in Helvetica (Latin text only) from a hex string, so only its text
// layer holds it; an empty text leaves its page without text. `encrypted` adds an /Encrypt dictionary that no
// password opens.
std::string samplePdf(const std::vector<std::string>& pages, bool encrypted = false);

// The PDF helper as the build makes it.
inline const std::string kPdfHelper = VARNEL_PDF_HELPER;

// Puts the helper's folder in the program folder's place while it lives, so the run and the viewer start it.
struct PdfHelperBesideTheProgram {
    PdfHelperBesideTheProgram() { replaceProgramFolder(kPdfHelper.substr(0, kPdfHelper.rfind('/') + 1)); }
    ~PdfHelperBesideTheProgram() { replaceProgramFolder(""); }
};

// Stands in for the readers while it lives. A file beginning with kFakeDocument is a document whose blocks
// follow it, separated by '\x1e'; kUnreadableDocument cannot be read; kEndlessDocument is read until the read
// is cancelled. A PDF is handed to the PDF source, as the real readers do.
class FakeDocumentReader : public DocumentReader {
  public:
    static constexpr const char* kFakeDocument = "%FAKEDOC\n";
    static constexpr const char* kUnreadableDocument = "%FAKEDOC-UNREADABLE";
    static constexpr const char* kEndlessDocument = "%FAKEDOC-ENDLESS";

    FakeDocumentReader() { DocumentReader::install(this); }
    ~FakeDocumentReader() override { DocumentReader::install(nullptr); }
    FakeDocumentReader(const FakeDocumentReader&) = delete;
    FakeDocumentReader& operator=(const FakeDocumentReader&) = delete;

    bool mayBeDocument(const char* head, std::size_t size) override;
    DocumentText read(const std::string& path, const DocumentCancel& cancelled, PdfTextSource* pdf) override;

    std::atomic<int> reads{0};
    enum class EndlessRead { None, Started, Cancelled };
    std::atomic<EndlessRead> endlessRead{EndlessRead::None};
};
