#pragma once
// The content answer for one file of a run: the byte search, and where that finds nothing in a file whose
// first bytes may be a document's, the document's text. With "DOS" ticked there is no document query and the
// byte search alone answers.

#include <atomic>

#include "documents/DocumentMatch.h"
#include "matching/ContentMatch.h"
#include "search/ContentPrefetch.h"

ContentPrefetch::Answer fileContent(FileSearch& bytes, const ContentQuestion& question,
                                    const std::atomic<bool>& stop, const DocumentQuery* documents,
                                    PdfTextSource* pdf);
