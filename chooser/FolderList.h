#pragma once
// What the folder chooser's list shows: the chain of folders from the root down to the current folder, each
// open, then the current folder's subfolders, closed, sorted by name without regard to case, hidden ones left
// out. Paths are bytes; the current folder is "/" for the root and has no trailing "/" otherwise.

#include <string>
#include <vector>

class SubfolderReader;

struct FolderRow {
    enum class Kind { Open, Current, Closed };
    std::string path;  // the folder the row enters
    std::string name;  // what the row shows: "/" for the root, else the folder's own name
    Kind kind = Kind::Closed;
    int depth = 0;  // 0 for the root
};

class FolderList {
  public:
    explicit FolderList(SubfolderReader& reader) : reader_(reader) {}

    // Makes `folder` current and lists its subfolders. When it cannot be read this throws FileError and
    // nothing changes.
    void enter(const std::string& folder);

    const std::string& current() const { return current_; }
    const std::vector<FolderRow>& rows() const { return rows_; }

  private:
    SubfolderReader& reader_;
    std::string current_;
    std::vector<FolderRow> rows_;
};

// The held form of a folder: "/" for the root, no trailing "/" otherwise, repeated "/" collapsed.
std::string normalFolder(const std::string& folder);
