#include "search/FolderChain.h"

#include <algorithm>

FolderChain::FolderChain(FileSystem& fs, const std::string& start, std::string startOnDisk)
    : fs_(fs), startLength_(start.size()), startOnDisk_(std::move(startOnDisk)) {}

Folder& FolderChain::open(const std::string& path, std::size_t depth) {
    if (chain_.empty()) {
        chain_.push_back({startLength_, fs_.openFolder(startOnDisk_)});
    }
    chain_.erase(
        chain_.begin() + static_cast<std::ptrdiff_t>(std::clamp<std::size_t>(depth, 1, chain_.size())),
        chain_.end());
    if (depth == 0) {
        return *chain_.front().folder;
    }
    const Link& above = chain_.back();
    std::unique_ptr<Folder> folder = above.folder->openBelow(path.substr(above.pathLength + 1));
    if (chain_.size() == depth && depth < kLongestChain) {
        chain_.push_back({path.size(), std::move(folder)});
        return *chain_.back().folder;
    }
    beyond_ = std::move(folder);
    return *beyond_;
}
