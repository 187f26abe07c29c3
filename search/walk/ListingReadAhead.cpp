#include "search/walk/ListingReadAhead.h"

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "platform/HelperPriority.h"
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

void ListingReadAhead::want(const std::vector<std::string>& paths) {
    if (paths.empty()) {
        return;
    }
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        wanted_.insert(wanted_.end(), paths.begin(), paths.end());
    }
    work_.notify_all();
}

FolderListing ListingReadAhead::take(const std::string& path, const std::function<void()>& whileWaiting) {
    std::unique_lock<std::mutex> lock(mutex_);
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
            // Helpers that stopped at the bound go on once a quarter of it is free again.
            if (read_.size() + reading_.size() == heldAhead_ - heldAhead_ / 4) {
                work_.notify_all();
            }
            return listing;
        }
        done_.wait_for(lock, kWaitSlice);
        lock.unlock();
        whileWaiting();
        lock.lock();
    }
}

void ListingReadAhead::help(const std::string& start, std::unique_ptr<Folder> startFolder) {
    lowerThisThreadPriority();
    FolderChain folders(start, std::move(startFolder), FolderChain::kHelperChain);
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        work_.wait(lock, [this] {
            return quit_ || urgent_.has_value() ||
                   (!wanted_.empty() && read_.size() + reading_.size() < heldAhead_);
        });
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
        try {
            listing = readListing(folders.open(path));
        } catch (const std::bad_alloc&) {
            listing = {std::string(), ENOMEM};
        }
        lock.lock();
        reading_.erase(path);
        read_.emplace(std::move(path), std::move(listing));
        done_.notify_all();
    }
}
