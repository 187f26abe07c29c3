#pragma once
// Where the content search and the viewer take documents' text from: the readers of documents/, behind one
// seam that tests replace.

#include <cstddef>
#include <string>

#include "documents/DocumentText.h"

class DocumentReader {
  public:
    virtual ~DocumentReader() = default;
    // The first bytes of a file (up to kDocumentHeadBytes) tell whether it may be a document.
    virtual bool mayBeDocument(const char* head, std::size_t size) = 0;
    virtual DocumentText read(const std::string& path, const DocumentCancel& cancelled,
                              PdfTextSource* pdf) = 0;

    static DocumentReader& current();
    // Replaces the readers (tests); nullptr puts the real ones back.
    static void install(DocumentReader* replacement);
};

constexpr std::size_t kDocumentHeadBytes = 1024;
