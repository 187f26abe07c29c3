#include "search/ContentTest.h"

#include "matching/ContentMatch.h"
#include "platform/files/FileError.h"

ContentAnswer testContent(Folder& folder, const std::string& name, const std::string& path,
                          InputFile::Listed listed, FileSearch& search, const std::atomic<bool>& stop) {
    if (!search.text().findable()) {
        return ContentAnswer::NotFound;
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
                return ContentAnswer::NotFound;
            case FileSearch::Outcome::Abandoned:
                return ContentAnswer::Abandoned;
        }
    } catch (const FileError&) {
        return ContentAnswer::Unreadable;
    }
    return ContentAnswer::NotFound;
}
