#include "search/walk/FolderChain.h"

namespace {

bool isAbove(const std::string& folder, const std::string& path) {
    return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
           path[folder.size()] == '/';
}

}  // namespace

FolderChain::FolderChain(std::string start, std::unique_ptr<Folder> startFolder, std::size_t longest)
    : longest_(longest) {
    chain_.push_back({std::move(start), std::move(startFolder)});
}

Folder& FolderChain::open(const std::string& path) {
    if (beyond_ && beyondPath_ == path) {
        return *beyond_;
    }
    while (chain_.size() > 1 && chain_.back().path != path && !isAbove(chain_.back().path, path)) {
        chain_.pop_back();
    }
    if (path == chain_.back().path) {
        return *chain_.back().folder;  // in hand already: the files of one folder come one after another
    }
    const Link& above = chain_.back();
    std::unique_ptr<Folder> folder = above.folder->openBelow(path.substr(above.path.size() + 1));
    if (chain_.size() < longest_) {
        chain_.push_back({path, std::move(folder)});
        return *chain_.back().folder;
    }
    beyond_ = std::move(folder);
    beyondPath_ = path;
    return *beyond_;
}
