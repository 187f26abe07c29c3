#include "search/walk/FolderChain.h"

namespace {

bool isAbove(const std::string& folder, const std::string& path) {
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
           path[folder.size()] == '/';
}

}  // namespace

FolderChain::FolderChain(FileSystem& fs, const std::string& start, std::string startOnDisk)
    : fs_(fs), start_(start), startOnDisk_(std::move(startOnDisk)) {}

Folder& FolderChain::open(const std::string& path) {
    if (chain_.empty()) {
        chain_.push_back({start_, fs_.openFolder(startOnDisk_)});
    }
    while (chain_.size() > 1 && !isAbove(chain_.back().path, path)) {
        chain_.pop_back();
    }
    if (path == start_) {
        return *chain_.front().folder;
    }
    const Link& above = chain_.back();
    std::unique_ptr<Folder> folder = above.folder->openBelow(path.substr(above.path.size() + 1));
    if (chain_.size() < kLongestChain) {
        chain_.push_back({path, std::move(folder)});
        return *chain_.back().folder;
    }
    beyond_ = std::move(folder);
    return *beyond_;
}
