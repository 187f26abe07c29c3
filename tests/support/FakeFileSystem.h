#pragma once
// A folder tree held in memory, listed in exactly the order the test gives, to check walk order and counts.

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/files/FileSystem.h"

class FakeFileSystem : public FileSystem {
  public:
    FakeFileSystem() { FileSystem::install(this); }
    ~FakeFileSystem() override { FileSystem::install(nullptr); }
    FakeFileSystem(const FakeFileSystem&) = delete;
    FakeFileSystem& operator=(const FakeFileSystem&) = delete;

    // Adds a folder with its entries in listing order; a name ending in "/" is a subfolder.
    void add(const std::string& folder, const std::vector<std::string>& entries);
    // The folder cannot be opened from now on, for the given reason (errno); a folder not added cannot be
    // opened either (ENOENT).
    void lock(const std::string& folder, int error) {
        const std::lock_guard<std::mutex> hold(mutex_);
        errors_[folder] = error;
    }

    std::unique_ptr<Folder> openFolder(const std::string& path) override;
    bool makeCurrent(const std::string& folder) override { return folders_.count(folder) > 0; }

    // Every folder listed, in order, with its mask.
    std::vector<std::string> listed;

  private:
    friend class FakeFolder;
    std::map<std::string, std::vector<DirEntry>> folders_;
    std::map<std::string, int> errors_;
    std::mutex mutex_;  // a run's helper threads open folders too
};
