#pragma once
// Reading a document's text from any bytes: readDocumentText reads a file through it, the fuzz targets and
// the tests read documents held in memory.

#include <string>

#include "documents/DocumentText.h"

class ByteSource;

// `path` is only handed to `pdf`. A file that cannot be read throws FileError.
DocumentText readDocument(const ByteSource& bytes, const std::string& path, const DocumentCancel& cancelled,
                          PdfTextSource* pdf);

// A document held in memory; a PDF there is Unreadable (PDFs are read from their files).
DocumentText readDocumentFromMemory(const char* data, std::size_t size, const DocumentCancel& cancelled);
