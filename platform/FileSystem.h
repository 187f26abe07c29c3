#pragma once
// The file-system services the search and the viewers use, behind one seam that tests replace. Paths are byte
// strings as the system gave them; a folder is held without a trailing "/" and the root as the empty text.

#include <cstdint>
#include <memory>
#include <string>

struct DirEntry {
    std::string name;
    bool directory = false;  // the entry itself is a folder (a symbolic link is not one here)
    bool hidden = false;     // the name begins with "." and is not "." or ".."
    bool symlink = false;
};

// One open listing of a folder; closed when destroyed.
class DirListing {
  public:
    virtual ~DirListing() = default;
    // Fills `entry` with the next entry that fits the mask; false at the end.
    virtual bool next(DirEntry& entry) = 0;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Every entry of `folder` whose name fits the wildcard mask, "." and ".." included, in the order the file
    // system returns them. A folder that cannot be listed yields nothing.
    virtual std::unique_ptr<DirListing> list(const std::string& folder, const std::string& mask) = 0;
    // The path names an existing folder (symbolic links followed).
    virtual bool folderExists(const std::string& path) = 0;
    // Makes the folder the process's current folder; false when that fails.
    virtual bool makeCurrent(const std::string& folder) = 0;

    static FileSystem& current();
    // Replaces the services (tests); nullptr puts the real ones back.
    static void install(FileSystem* replacement);
};

// The path the system is given for a folder held as text: the root's empty text becomes "/".
std::string systemPath(const std::string& folder);
