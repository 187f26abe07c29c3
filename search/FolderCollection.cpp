#include "search/FolderCollection.h"

#include "platform/EventPump.h"
#include "search/FolderChain.h"
#include "search/SearchForm.h"

namespace {

// Files of one folder between two interim counts of the folders found so far.
constexpr int kFilesPerInterimCount = 50;

bool isDotEntry(std::string_view name) {
    return name == "." || name == "..";
}

// Lists one folder, keeping its entries for the search while the budget lasts, and returns its collectable
// subfolders in listing order.
std::vector<FolderToSearch> listSubfolders(FolderToSearch& folder, Folder& open, std::size_t listedSoFar,
                                           SearchForm& form, std::size_t& namesLeft) {
    std::vector<FolderToSearch> subfolders;
    if (open.error() == 0) {
        auto listing = open.list("*");
        DirEntry entry;
        int files = 0;
        while (listing->next(entry)) {
            keepEntry(folder.names, entry);
            if (entry.directory()) {
                if (!isDotEntry(entry.name) && !entry.hidden) {
                    subfolders.push_back(
                        {folder.path + "/" + entry.name, folder.depth + 1, false, false, {}});
                }
            } else if (++files > kFilesPerInterimCount) {
                form.showFoldersToSearchNow(listedSoFar + subfolders.size());
                files = 0;
            }
            pumpEvents();
        }
    }
    folder.unreadable = open.error() != 0;
    folder.listed = true;
    if (folder.names.size() <= namesLeft) {
        namesLeft -= folder.names.size();
    } else {
        folder.names = std::string();  // past the budget the folder is read again when its turn comes
        folder.listed = false;
    }
    return subfolders;
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

FolderList collectFolders(const std::string& start, const std::string& startOnDisk, SearchForm& form,
                          FileSystem& fs, std::size_t namesBudget) {
    // A stack walk gives the same order as inserting each folder's subfolders right after it: the last
    // subfolder listed is searched first.
    FolderChain chain(fs, start, startOnDisk);
    FolderList folders;
    FolderToSearch startFolder{start, 0, false, false, {}};
    std::vector<FolderToSearch> pending =
        listSubfolders(startFolder, chain.open(start, 0), 0, form, namesBudget);
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
        auto subfolders = listSubfolders(folder, chain.open(folder.path, folder.depth),
                                         folders.size() + pending.size(), form, namesBudget);
        pending.insert(pending.end(), std::make_move_iterator(subfolders.begin()),
                       std::make_move_iterator(subfolders.end()));
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
