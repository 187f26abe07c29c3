#include "search/walk/ListingReadAhead.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "platform/threads/HelperPriority.h"
#include "platform/threads/WindowWait.h"
#include "search/walk/FolderChain.h"
#include "search/walk/FolderCollection.h"

namespace {

// How often the collection, waiting for a listing, lets its window handle events.
constexpr auto kWaitSlice = std::chrono::milliseconds(4);

}  // namespace

FolderListing readListing(Folder& open) {
    FolderListing listing;
    if (open.error() == 0) {
        const auto entries = open.list("*");
        DirEntry entry;
        while (entries->next(entry)) {
            keepEntry(listing.names, entry);
        }
    }
    listing.error = open.error();
    return listing;
}

ListingReadAhead::ListingReadAhead(const std::string& start, Folder& startFolder, unsigned helpers,
                                   std::size_t heldAhead)
    : heldAhead_(heldAhead) {
    for (unsigned i = 0; i < std::max(1u, helpers); ++i) {
        helpers_.emplace_back(
            [this, start, folder = startFolder.openBelow(".")]() mutable { help(start, std::move(folder)); });
    }
}

ListingReadAhead::~ListingReadAhead() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    work_.notify_all();
    for (std::thread& helper : helpers_) {
        helper.join();
    }
}

FolderListing ListingReadAhead::take(const std::string& path, const std::function<void()>& whileWaiting) {
    std::unique_lock<std::mutex> lock(mutex_, std::defer_lock);
    lockPumpingEvents(lock);
    if (read_.count(path) == 0 && reading_.count(path) == 0) {
        const auto queued = std::find(wanted_.rbegin(), wanted_.rend(), path);
        if (queued != wanted_.rend()) {
            wanted_.erase(std::next(queued).base());
        }
        urgent_ = path;  // read next, past the bound
        work_.notify_all();
    }
    while (true) {
        const auto found = read_.find(path);
        if (found != read_.end()) {
            FolderListing listing = std::move(found->second);
            read_.erase(found);
            const bool bytesWereFull = heldBytes_ >= kHeldBytes;
            heldBytes_ -= listing.names.size();
            // Helpers that stopped at the bound go on once a quarter of it is free again.
            if (read_.size() + reading_.size() == heldAhead_ - heldAhead_ / 4 ||
                (bytesWereFull && heldBytes_ < kHeldBytes)) {
                work_.notify_all();
            }
            return listing;
        }
        lock.unlock();
        done_.waitFor(kWaitSlice);
        whileWaiting();
        lockPumpingEvents(lock);
    }
}

bool ListingReadAhead::roomAhead() const {
    return read_.size() + reading_.size() < heldAhead_ && heldBytes_ < kHeldBytes;
}

void ListingReadAhead::help(const std::string& start, std::unique_ptr<Folder> startFolder) {
    lowerThisThreadPriority();
    FolderChain folders(start, std::move(startFolder), FolderChain::kHelperChain);
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        work_.wait(lock,
                   [this] { return quit_ || urgent_.has_value() || (!wanted_.empty() && roomAhead()); });
        if (quit_) {
            return;
        }
        std::string path;
        if (urgent_) {
            path = std::move(*urgent_);  // the root's path is the empty text
            urgent_.reset();
        } else {
            path = std::move(wanted_.back());
            wanted_.pop_back();
        }
        reading_.insert(path);
        lock.unlock();
        FolderListing listing;
        std::vector<std::string> below;
        try {
            listing = readListing(folders.open(path));
            for (std::size_t at = 0; at < listing.names.size();) {
                const KeptEntry entry = keptEntryAt(listing.names, at);
                at = entry.next;
                if (isCollectable(entry)) {
                    below.push_back(path + "/" + std::string(entry.name));
                }
            }
        } catch (const std::bad_alloc&) {
            listing = {std::string(), ENOMEM};
            below.clear();
        }
        lock.lock();
        reading_.erase(path);
        wanted_.insert(wanted_.end(), std::make_move_iterator(below.begin()),
                       std::make_move_iterator(below.end()));
        heldBytes_ += listing.names.size();
        read_.emplace(std::move(path), std::move(listing));
        done_.ring();
    }
}
