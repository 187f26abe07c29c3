#pragma once
// Reads the names of a folder's subfolders for the folder chooser, which must tell the user why a folder
// cannot be entered; tests replace the reader to make a folder fail.

#include <string>
#include <vector>

class SubfolderReader {
  public:
    virtual ~SubfolderReader() = default;
    // The names of the folders in `folder` ("/" is the root), links to folders included, "." and ".." left
    // out, in the order the file system returns them. Throws FileError with the folder and the system's
    // reason when it cannot be read.
    virtual std::vector<std::string> read(const std::string& folder) = 0;
};

SubfolderReader& systemSubfolderReader();
