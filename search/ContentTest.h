#pragma once
// The content test of one file of a run, whole: the file in, the answer out. The helper threads call it for
// every file they search ahead of the run; everything else they do is bookkeeping around it.

#include <atomic>
#include <string>

#include "documents/DocumentMatch.h"
#include "platform/files/FileSystem.h"

class FileSearch;

// DocumentUnreadable: the bytes do not hold the text and the document's text could not be read.
// FolderUnreadable: the file's folder could not be opened (gone or locked since it was listed).
enum class ContentAnswer { Found, NotFound, Unreadable, DocumentUnreadable, FolderUnreadable, Abandoned };

// Whether the entry `name` of the open `folder` holds the search's text. `path` names it in messages;
// `listed` is what the listing said it is. An entry that could not be opened or read, or that the listing
// gave but is gone now, is Unreadable (so it is counted, never silently missed); a symbolic link that points
// nowhere, a FIFO, a device or a folder is NotFound. Once `stop` is set the search is Abandoned. Failures
// other than the file's own are thrown. Where the bytes do not hold the text and the file's first bytes may
// be a document's, the document's text is searched by `documents` (none with "DOS"), PDFs through `pdf`.
// A `folder` that could not be opened answers FolderUnreadable for each of its files.
ContentAnswer testContent(Folder& folder, const std::string& name, const std::string& path,
                          InputFile::Listed listed, FileSearch& search, const std::atomic<bool>& stop,
                          const DocumentQuery* documents, PdfTextSource* pdf);
