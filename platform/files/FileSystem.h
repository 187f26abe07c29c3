#pragma once
// The file-system services the search uses, behind one seam that tests replace. Paths are byte strings as the
// system gave them; a folder is held without a trailing "/" and the root as the empty text. Folders are
// opened from the folder above them, so a tree of any depth is reached without looking its paths up from
// the root.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/files/InputFile.h"

struct DirEntry {
    enum class Type : char { Folder = 'd', File = 'f', Link = 'l', Other = 'o' };

    std::string name;
    Type type = Type::Other;  // what the entry itself is (a symbolic link is a Link, whatever it points to)
    bool hidden = false;      // the name begins with "." and is not "." or ".."

    bool directory() const { return type == Type::Folder; }
};

// "." and "..": the folder itself and its parent, never an entry found in it.
inline bool isDotEntry(std::string_view name) {
    return name == "." || name == "..";
}

// One pass over a folder's entries.
class DirListing {
  public:
    virtual ~DirListing() = default;
    // Fills `entry` with the next entry that fits the mask; false at the end.
    virtual bool next(DirEntry& entry) = 0;
};

// An open folder; closed when destroyed.
class Folder {
  public:
    virtual ~Folder() = default;
    // Why the folder could not be opened, or could not be read to its end (errno); 0 when all went well.
    virtual int error() const = 0;
    // Every entry whose name fits the wildcard mask, "." and ".." included, in the order the file system
    // returns them. A failure to read ends the listing and sets error().
    virtual std::unique_ptr<DirListing> list(const std::string& mask) = 0;
    // Opens a folder below this one by its path relative to it; a symbolic link at its last step is not
    // followed.
    virtual std::unique_ptr<Folder> openBelow(const std::string& relative) = 0;
    // Opens the entry `name` of this folder for its content (see InputFile), however the folder's path has
    // changed since it was opened; `path` names the file in messages. Throws FileError as InputFile does,
    // also when the folder itself could not be opened.
    virtual std::unique_ptr<InputFile> openFile(const std::string& name, const std::string& path,
                                                InputFile::Listed listed) = 0;
};

class FileSystem {
  public:
    virtual ~FileSystem() = default;

    // Opens a folder by its path (links followed).
    virtual std::unique_ptr<Folder> openFolder(const std::string& path) = 0;
    // Makes the folder the process's current folder; false when that fails.
    virtual bool makeCurrent(const std::string& folder) = 0;
    // How many helper threads list folders ahead of a walk below `folder`: none where listings come quickly
    // one after another (a local disk, where readers side by side only compete), several where each listing
    // is a round trip (a file server).
    virtual unsigned listingReaders(const std::string& /*folder*/) const { return 0; }

    static FileSystem& current();
    // Replaces the services (tests); nullptr puts the real ones back.
    static void install(FileSystem* replacement);
};

// The path the system is given for a folder held as text: the root's empty text becomes "/".
std::string systemPath(const std::string& folder);
