#pragma once
// A folder tree held in memory, listed in exactly the order the test gives, to check walk order and counts.

#include <map>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

class FakeFileSystem : public FileSystem {
  public:
    FakeFileSystem() { FileSystem::install(this); }
    ~FakeFileSystem() override { FileSystem::install(nullptr); }
    FakeFileSystem(const FakeFileSystem&) = delete;
    FakeFileSystem& operator=(const FakeFileSystem&) = delete;

    // Adds a folder with its entries in listing order; a name ending in "/" is a subfolder.
    void add(const std::string& folder, const std::vector<std::string>& entries);

    std::unique_ptr<DirListing> list(const std::string& folder, const std::string& mask) override;
    bool folderExists(const std::string& path) override { return folders_.count(path) > 0; }
    bool makeCurrent(const std::string& folder) override { return folderExists(folder); }

    // Every folder listed, in order, with its mask.
    std::vector<std::string> listed;

  private:
    std::map<std::string, std::vector<DirEntry>> folders_;
};
