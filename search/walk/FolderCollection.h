#pragma once
// The folders a run searches, collected before the search: the start folder first, then a depth-first walk
// in which each folder's subfolders follow it in the reverse of their listing order. Hidden folders and
// symbolic links are not entered.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files/FileSystem.h"

class SearchForm;

// A folder to search. The collection lists every folder and keeps its entries, so the search filters them by
// the mask of the moment instead of reading the folder a second time.
struct FolderToSearch {
    std::string path;
    bool listed = false;      // its entries are kept in `names`
    bool unreadable = false;  // it could not be listed (whole) when collected; counted then
    std::string names;        // per entry: its type byte, its name, a zero
};

// One kept entry, read at byte `at` of a folder's names; `next` is where the entry after it starts.
struct KeptEntry {
    DirEntry::Type type;
    std::string_view name;
    std::size_t next;
};
// The folders in search order. Kept in slices, so a long list never grows by moving itself.
using FolderList = std::deque<FolderToSearch>;

KeptEntry keptEntryAt(const std::string& names, std::size_t at);
// A subfolder the collection enters: a folder itself (not a link to one), neither "." nor "..", not hidden.
bool isCollectable(const KeptEntry& entry);
void keepEntry(std::string& names, const DirEntry& entry);

// The names kept are limited to `namesBudget` bytes; folders past it are read again at their turn. Stopped,
// the list holds the folders collected so far without the start folder.
constexpr std::size_t kKeptNamesBudget = std::size_t{64} << 20;
// `startOpen` is the start folder `start`, open. With `readers`, that many helper threads read the listings
// ahead (see ListingReadAhead); without, each folder is read at its turn.
FolderList collectFolders(const std::string& start, std::unique_ptr<Folder> startOpen, SearchForm& form,
                          std::size_t namesBudget = kKeptNamesBudget, unsigned readers = 0);
