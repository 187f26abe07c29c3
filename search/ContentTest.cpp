#include "search/ContentTest.h"

#include "documents/DocumentReader.h"
#include "matching/ContentMatch.h"
#include "platform/files/FileError.h"

namespace {

ContentAnswer documentContent(const std::string& path, std::string_view head, const std::atomic<bool>& stop,
                              const DocumentQuery* documents, PdfTextSource* pdf) {
    DocumentReader& reader = DocumentReader::current();
    if (documents == nullptr || !documents->findable() || !reader.mayBeDocument(head.data(), head.size())) {
        return ContentAnswer::NotFound;
    }
    const DocumentText text = reader.read(
        path, [&stop] { return stop.load(std::memory_order_relaxed); }, pdf);
    switch (text.status) {
        case DocumentText::Status::Read:
            return documents->foundIn(text) ? ContentAnswer::Found : ContentAnswer::NotFound;
        case DocumentText::Status::NotDocument:
            return ContentAnswer::NotFound;
        case DocumentText::Status::Unreadable:
            return ContentAnswer::DocumentUnreadable;
        case DocumentText::Status::Cancelled:
            return ContentAnswer::Abandoned;
    }
    return ContentAnswer::NotFound;
}

}  // namespace

ContentAnswer testContent(Folder& folder, const std::string& name, const std::string& path,
                          InputFile::Listed listed, FileSearch& search, const std::atomic<bool>& stop,
                          const DocumentQuery* documents, PdfTextSource* pdf) {
    if (!search.text().findable()) {
        return ContentAnswer::NotFound;
    }
    if (folder.error() != 0) {
        return ContentAnswer::FolderUnreadable;
    }
    try {
        const std::unique_ptr<InputFile> file = folder.openFile(name, path, listed);
        if (file->vanished()) {
            return ContentAnswer::Unreadable;
        }
        switch (search.find(*file, stop)) {
            case FileSearch::Outcome::Found:
                return ContentAnswer::Found;
            case FileSearch::Outcome::NotFound:
                return documentContent(path, search.head(), stop, documents, pdf);
            case FileSearch::Outcome::Abandoned:
                return ContentAnswer::Abandoned;
        }
    } catch (const FileError&) {
        return ContentAnswer::Unreadable;
    }
    return ContentAnswer::NotFound;
}
