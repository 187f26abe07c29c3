#pragma once
// The process's current folder. A search run makes its start folder current only while it runs: a folder
// left current would hold a removable disk busy, and programs started later would inherit it.

#include <string>

// The current folder's absolute path; "." when the system cannot tell it.
std::string currentFolder();

// `path` as it is reached while `folder` is current: an absolute path as it is, a relative one joined to it.
std::string reachedFrom(const std::string& folder, const std::string& path);

// Notes the current folder and makes it current again when destroyed, wherever it has moved meanwhile.
class CurrentFolderReturn {
  public:
    CurrentFolderReturn();
    ~CurrentFolderReturn();
    CurrentFolderReturn(const CurrentFolderReturn&) = delete;
    CurrentFolderReturn& operator=(const CurrentFolderReturn&) = delete;

  private:
    int folder_;
};
