#include "search/walk/FolderCollection.h"

#include "platform/EventPump.h"
#include "search/SearchForm.h"
#include "search/walk/FolderChain.h"
#include "search/walk/ListingReadAhead.h"

namespace {

// Files of one folder between two interim counts of the folders found so far.
constexpr int kFilesPerInterimCount = 50;

// Goes through one folder's listing, keeping its entries for the search while the budget lasts, and adds its
// collectable subfolders to `pending` in listing order. `collected` is the number of folders collected
// before it.
void listSubfolders(FolderToSearch& folder, FolderListing listing, std::size_t collected, SearchForm& form,
                    std::size_t& namesLeft, std::vector<FolderToSearch>& pending) {
    int files = 0;
    for (std::size_t at = 0; at < listing.names.size();) {
        const KeptEntry entry = keptEntryAt(listing.names, at);
        at = entry.next;
        if (entry.type == DirEntry::Type::Folder) {
            if (isCollectable(entry)) {
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
    folder.unreadable = listing.error != 0;
    folder.listed = listing.names.size() <= namesLeft;
    if (folder.listed) {
        namesLeft -= listing.names.size();
        folder.names.assign(listing.names);  // at its exact size
    }                                        // past the budget the folder is read again when its turn comes
}

}  // namespace

bool isCollectable(const KeptEntry& entry) {
    return entry.type == DirEntry::Type::Folder && !isDotEntry(entry.name) && entry.name[0] != '.';
}

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
                          std::size_t namesBudget, unsigned readers) {
    // A stack walk gives the same order as inserting each folder's subfolders right after it: the last
    // subfolder listed is searched first.
    FolderChain chain(start, std::move(startOpen));
    const std::unique_ptr<ListingReadAhead> ahead =
        readers > 0 ? std::make_unique<ListingReadAhead>(start, chain.start(), readers) : nullptr;
    const auto listingOf = [&](const std::string& path) {
        return ahead ? ahead->take(path, pumpEvents) : readListing(chain.open(path));
    };
    const auto listSubfoldersOf = [&](FolderToSearch& folder, std::size_t collected,
                                      std::vector<FolderToSearch>& pending) {
        listSubfolders(folder, listingOf(folder.path), collected, form, namesBudget, pending);
    };
    FolderList folders;
    FolderToSearch startFolder{start, false, false, {}};
    std::vector<FolderToSearch> pending;
    listSubfoldersOf(startFolder, 0, pending);
    bool stopped = false;
    while (!pending.empty()) {
        pumpEvents();
        if (form.stopRequested()) {
            stopped = true;
            break;
        }
        folders.push_back(std::move(pending.back()));
        pending.pop_back();
        listSubfoldersOf(folders.back(), folders.size(), pending);
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
