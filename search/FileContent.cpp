#include "search/FileContent.h"

#include "documents/DocumentReader.h"

ContentPrefetch::Answer fileContent(FileSearch& bytes, const ContentQuestion& question,
                                    const std::atomic<bool>& stop, const DocumentQuery* documents,
                                    PdfTextSource* pdf) {
    switch (bytes.find(question.path, question.listed, stop)) {
        case FileSearch::Outcome::Found:
            return ContentPrefetch::Answer::Found;
        case FileSearch::Outcome::Abandoned:
            return ContentPrefetch::Answer::Abandoned;
        case FileSearch::Outcome::NotFound:
            break;
    }
    DocumentReader& reader = DocumentReader::current();
    const std::string_view head = bytes.head();
    if (documents == nullptr || !documents->findable() || !reader.mayBeDocument(head.data(), head.size())) {
        return ContentPrefetch::Answer::NotFound;
    }
    const DocumentText text = reader.read(
        question.path, [&stop] { return stop.load(std::memory_order_relaxed); }, pdf);
    switch (text.status) {
        case DocumentText::Status::Read:
            return documents->foundIn(text) ? ContentPrefetch::Answer::Found
                                            : ContentPrefetch::Answer::NotFound;
        case DocumentText::Status::NotDocument:
            return ContentPrefetch::Answer::NotFound;
        case DocumentText::Status::Unreadable:
            return ContentPrefetch::Answer::DocumentUnreadable;
        case DocumentText::Status::Cancelled:
            return ContentPrefetch::Answer::Abandoned;
    }
    return ContentPrefetch::Answer::NotFound;
}
