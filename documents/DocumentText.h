#pragma once
// The text of an office document or a PDF, told by the file's content, never by its name.

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

struct DocumentText {
    enum class Status { NotDocument, Read, Unreadable, Cancelled };
    Status status = Status::NotDocument;
    // Paragraphs, table cells, sheet strings, slide paragraphs or PDF pages in reading order, as UTF-8. A
    // line end inside a block ('\n') is one that a blank of the search text matches; a blank never joins two
    // blocks.
    std::vector<std::string> blocks;
    std::string reason;  // why the text could not be read, for messages (Unreadable)
};

// Polled while a document is read; true ends the read with Status::Cancelled.
using DocumentCancel = std::function<bool()>;

// Reads the text of PDF files; the real one runs poppler in helper processes with time and memory limits.
class PdfTextSource {
  public:
    virtual ~PdfTextSource() = default;
    virtual DocumentText read(const std::string& path, const DocumentCancel& cancelled) = 0;
};

// Whether a file whose first bytes are `head` (up to 1024 of them) may be a document: a zip, an OLE2 file, an
// RTF or a PDF. Costs nothing for other files, so the content search asks it of every file it reads.
bool mayBeDocument(const char* head, std::size_t size);

// The document's text. NotDocument for every other file (a plain zip, an OLE2 file that is not encrypted).
// An encrypted Office file (OLE2 holding EncryptedPackage), a damaged file or a limit reached: Unreadable.
// A PDF is handed to `pdf`; with no source it is Unreadable.
DocumentText readDocumentText(const std::string& path, const DocumentCancel& cancelled, PdfTextSource* pdf);
