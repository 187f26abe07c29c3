// Stand-ins for the office readers' two entry points, linked into the tests only while documents/DocumentText.cpp
// is not in the tree (see tests/CMakeLists.txt); the tests put FakeDocumentReader in their place anyway.
#include "documents/DocumentText.h"

bool mayBeDocument(const char*, std::size_t) {
    return false;
}

DocumentText readDocumentText(const std::string&, const DocumentCancel&, PdfTextSource*) {
    return {};
}
