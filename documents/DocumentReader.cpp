#include "documents/DocumentReader.h"

#include <atomic>

namespace {

class Readers : public DocumentReader {
  public:
    bool mayBeDocument(const char* head, std::size_t size) override { return ::mayBeDocument(head, size); }
    DocumentText read(const std::string& path, const DocumentCancel& cancelled, PdfTextSource* pdf) override {
        return readDocumentText(path, cancelled, pdf);
    }
};

std::atomic<DocumentReader*> replacement{nullptr};

}  // namespace

DocumentReader& DocumentReader::current() {
    static Readers readers;
    DocumentReader* installed = replacement.load();
    return installed != nullptr ? *installed : readers;
}

void DocumentReader::install(DocumentReader* reader) {
    replacement = reader;
}
