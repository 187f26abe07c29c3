#pragma once
// The open folders from the start folder down to the folder in hand. Folders come in a depth-first order, so
// the folder above the next one is always in the chain and the next one is opened from it by name: no path
// is looked up from the root, and a tree of any depth is reached.

#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

class FolderChain {
  public:
    // `startOnDisk` is how the start folder `start` is reached from the current folder.
    FolderChain(FileSystem& fs, const std::string& start, std::string startOnDisk);

    // Opens the folder `path` that lies `depth` levels below the start folder (0 for the start folder
    // itself). The folder stays valid until the next call; whether it opened is its error().
    Folder& open(const std::string& path, std::size_t depth);

  private:
    // Deeper folders are opened from the deepest one kept, by the rest of their path, so the descriptors
    // held stay few however deep the tree.
    static constexpr std::size_t kLongestChain = 128;

    struct Link {
        std::size_t pathLength = 0;
        std::unique_ptr<Folder> folder;
    };

    FileSystem& fs_;
    std::size_t startLength_;
    std::string startOnDisk_;
    std::vector<Link> chain_;
    std::unique_ptr<Folder> beyond_;
};
