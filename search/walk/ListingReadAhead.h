#pragma once
// Folder listings read ahead of the collection by helper threads, so a cold disk or a file server is asked
// for several folders at once instead of one after another. The collection still takes the listings one by
// one in its own order, and counts and pumps events as it goes through each: only the reading moves. The
// helpers go down the tree on their own, the subfolders found last first, as the collection will; no more
// than a bounded number of listings, and of their bytes, is held ahead.

#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/files/FileSystem.h"
#include "platform/threads/WindowWait.h"

// One folder's entries, kept as the collection keeps them (see keepEntry), and why reading them failed.
struct FolderListing {
    std::string names;
    int error = 0;  // errno when the folder could not be opened or read to its end
};

// Reads all of an open folder's entries.
FolderListing readListing(Folder& open);

class ListingReadAhead {
  public:
    // Listings held ahead of the collection at most, read or being read, and the bytes of their names.
    static constexpr std::size_t kHeldAhead = 256;
    static constexpr std::size_t kHeldBytes = std::size_t{64} << 20;

    // `startFolder` is the start folder `start`, open; the helpers reach every folder below it from it.
    ListingReadAhead(const std::string& start, Folder& startFolder, unsigned helpers,
                     std::size_t heldAhead = kHeldAhead);
    ~ListingReadAhead();
    ListingReadAhead(const ListingReadAhead&) = delete;
    ListingReadAhead& operator=(const ListingReadAhead&) = delete;

    // The listing of the start folder or a folder the collection enters below it, read by a helper; waits for
    // it, calling `whileWaiting` every few milliseconds.
    FolderListing take(const std::string& path, const std::function<void()>& whileWaiting);

  private:
    void help(const std::string& start, std::unique_ptr<Folder> startFolder);

    bool roomAhead() const;

    std::size_t heldAhead_;
    std::size_t heldBytes_ = 0;
    std::mutex mutex_;
    std::condition_variable work_;
    Doorbell done_;  // rung when a listing is in
    bool quit_ = false;
    std::vector<std::string> wanted_;    // not begun, the next to read at the back
    std::optional<std::string> urgent_;  // the folder the collection waits for, when no helper has begun it
    std::set<std::string> reading_;
    std::map<std::string, FolderListing> read_;
    std::vector<std::thread> helpers_;
};
