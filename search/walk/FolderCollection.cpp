#include "search/walk/FolderCollection.h"

#include "platform/EventPump.h"
#include "search/SearchForm.h"
#include "search/walk/FolderChain.h"

namespace {

// Files of one folder between two interim counts of the folders found so far.
constexpr int kFilesPerInterimCount = 50;

// Lists one folder, keeping its entries for the search while the budget lasts, and adds its collectable
// subfolders to `pending` in listing order. `collected` is the number of folders collected before it.
void listSubfolders(FolderToSearch& folder, Folder& open, std::size_t collected, SearchForm& form,
                    std::size_t& namesLeft, std::vector<FolderToSearch>& pending) {
    thread_local std::string names;  // built here and copied once, at its exact size
    names.clear();
    if (open.error() == 0) {
        auto listing = open.list("*");
        DirEntry entry;
        int files = 0;
        while (listing->next(entry)) {
            keepEntry(names, entry);
            if (entry.directory()) {
                if (!isDotEntry(entry.name) && !entry.hidden) {
                    std::string path;
                    path.reserve(folder.path.size() + 1 + entry.name.size());
                    path.append(folder.path).append("/").append(entry.name);
                    pending.push_back({std::move(path), false, false, {}});
                }
            } else if (++files > kFilesPerInterimCount) {
                form.showFoldersToSearchNow(collected + pending.size());
                files = 0;
            }
            pumpEvents();
        }
    }
    folder.unreadable = open.error() != 0;
    folder.listed = names.size() <= namesLeft;
    if (folder.listed) {
        namesLeft -= names.size();
        folder.names = names;
    }  // past the budget the folder is read again when its turn comes
}

}  // namespace

KeptEntry keptEntryAt(const std::string& names, std::size_t at) {
    const std::size_t end = names.find('\0', at + 1);
    return {static_cast<DirEntry::Type>(names[at]), std::string_view(names).substr(at + 1, end - at - 1),
            end + 1};
}

void keepEntry(std::string& names, const DirEntry& entry) {
    names.push_back(static_cast<char>(entry.type));
    names.append(entry.name).push_back('\0');
}

FolderList collectFolders(const std::string& start, std::unique_ptr<Folder> startOpen, SearchForm& form,
                          std::size_t namesBudget) {
    // A stack walk gives the same order as inserting each folder's subfolders right after it: the last
    // subfolder listed is searched first.
    FolderChain chain(start, std::move(startOpen));
    FolderList folders;
    FolderToSearch startFolder{start, false, false, {}};
    std::vector<FolderToSearch> pending;
    listSubfolders(startFolder, chain.open(start), 0, form, namesBudget, pending);
    bool stopped = false;
    while (!pending.empty()) {
        pumpEvents();
        if (form.stopRequested()) {
            stopped = true;
            break;
        }
        folders.push_back(std::move(pending.back()));
        pending.pop_back();
        FolderToSearch& folder = folders.back();
        listSubfolders(folder, chain.open(folder.path), folders.size(), form, namesBudget, pending);
    }
    if (stopped) {
        // The folders collected so far, in the order they would have been searched; the start folder is
        // not among them.
        folders.insert(folders.end(), std::make_move_iterator(pending.rbegin()),
                       std::make_move_iterator(pending.rend()));
        return folders;
    }
    folders.push_front(std::move(startFolder));
    form.showFoldersToSearch(folders.size());
    return folders;
}
