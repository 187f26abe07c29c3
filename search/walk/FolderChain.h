#pragma once
// The open folders from the start folder down to the folder in hand. Folders come in a depth-first order, so
// the folder above the next one is nearly always in the chain and the next one is opened from it by name:
// no path is looked up from the root, and a tree of any depth is reached.

#include <memory>
#include <string>
#include <vector>

#include "platform/files/FileSystem.h"

class FolderChain {
  public:
    // `startFolder` is the start folder `start`, open; at most `longest` folders are held open.
    FolderChain(std::string start, std::unique_ptr<Folder> startFolder, std::size_t longest = kLongestChain);

    // Opens the start folder or a folder below it, from the deepest open folder above it. The folder stays
    // valid until the next call; whether it opened is its error().
    Folder& open(const std::string& path);
    // The start folder, leaving the chain as it is.
    Folder& start() { return *chain_.front().folder; }

    // Deeper folders are opened from the deepest one kept, by the rest of their path, so the descriptors
    // held stay few however deep the tree.
    static constexpr std::size_t kLongestChain = 128;
    // The chain of each of many helper threads: short, so all of them together hold few descriptors.
    static constexpr std::size_t kHelperChain = 8;

  private:
    struct Link {
        std::string path;
        std::unique_ptr<Folder> folder;
    };

    std::size_t longest_;
    std::vector<Link> chain_;
    std::unique_ptr<Folder> beyond_;
    std::string beyondPath_;
};
