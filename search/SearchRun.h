#pragma once
// One search run: collects the folders to search, lists each with the composed mask, tests each entry against
// the contained-name rule and the file's content, counts as it goes and hands the matches to the window at
// the end. It runs on the user-interface thread and pumps events as it goes, so "Стоп" is seen.

#include <QString>
#include <string>
#include <vector>

class SearchForm;
class FileSystem;

// The mask that a folder is listed with, and the contained-name rule it may set.
struct ComposedMask {
    std::string mask;
    bool containedNameRule = false;
    std::string containedText;
};
ComposedMask composeMask(const QString& nameField, const QString& extensionField);

// Removes every leading and trailing character whose code is 32 or below.
QString trimBlanks(const QString& text);
std::string trimBlanks(const std::string& bytes);

// The contained-name rule: `contained` occurs (Latin letters without regard to case) in the path less its
// last `extensionLength` characters.
bool containsName(const std::string& path, std::size_t extensionLength, const std::string& contained);

// Where a path under the start folder is reached once the start folder is the current folder: a relative
// start folder's paths are reached from "."; others stand as they are.
std::string pathFromCurrentFolder(const std::string& start, const std::string& path);

// A folder to search. The collection lists every folder and keeps its names ('\0' after each), so the search
// filters them by the mask of the moment instead of reading the folder a second time.
struct FolderToSearch {
    std::string path;
    bool listed = false;
    std::string names;
};

// The folders to search, the start folder first, then a depth-first walk in which each folder's subfolders
// follow it in the reverse of their listing order. Hidden folders and symbolic links are not entered.
// The names kept are limited to `namesBudget` bytes; folders past it are read again at their turn.
constexpr std::size_t kKeptNamesBudget = std::size_t{64} << 20;
std::vector<FolderToSearch> collectFolders(const std::string& start, SearchForm& form, FileSystem& fs,
                                           std::size_t namesBudget = kKeptNamesBudget);

enum class RunEnd { Early, NoFolder, Normal, Stopped };

class SearchRun {
  public:
    SearchRun(SearchForm& form, FileSystem& fs, std::vector<std::string>& found);
    RunEnd run();

    // Files whose content could not be read in the last run.
    std::size_t unreadableFiles() const { return unreadable_; }

  private:
    RunEnd runSteps();
    bool searchFolder(const FolderToSearch& folder);
    void examine(const std::string& folder, const std::string& name);
    bool contentMatches(const std::string& path);
    std::string onDisk(const std::string& path) const;
    void finish(RunEnd end);

    SearchForm& form_;
    FileSystem& fs_;
    std::vector<std::string>& found_;
    std::string start_;
    bool containedRule_ = false;
    std::string containedText_;
    std::size_t unreadable_ = 0;
};

// The message a finished run shows.
QString endMessage(std::size_t foundCount, std::size_t unreadableFiles);
