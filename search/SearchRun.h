#pragma once
// One search run: collects the folders to search, lists each with the composed mask, tests each entry against
// the contained-name rule and the file's content, counts as it goes and hands the matches to the window at
// the end. It runs on the user-interface thread and pumps events as it goes, so "Стоп" is seen; helper
// threads search the content of the files ahead of it (ContentPrefetch).

#include <QString>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "search/ContentPrefetch.h"
#include "search/results/FoundLines.h"
#include "search/walk/FolderCollection.h"

class SearchForm;
class FileSystem;
class FolderChain;
class CurrentFolderReturn;

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

// The contained-name rule: `contained` occurs in the path less its last `extensionLength` characters,
// compared as the name masks compare (case of the characters shown, "*" and "?" as wildcards).
bool containsName(const std::string& path, std::size_t extensionLength, const std::string& contained);

// Where a path under the start folder is reached once the start folder is the current folder: a relative
// start folder's paths are reached from "."; others stand as they are.
std::string pathFromCurrentFolder(const std::string& start, const std::string& path);

// The folder a run searches for the start folder as typed: blanks trimmed, then one trailing "/" dropped, so
// "/" gives the root's empty text. Empty typed text gives nothing to search.
std::optional<std::string> runStartFolder(const std::string& typed);

enum class RunEnd { Early, NoFolder, Normal, Stopped };

class SearchRun {
  public:
    SearchRun(SearchForm& form, FileSystem& fs);
    ~SearchRun();
    RunEnd run();

    // Files whose content, and folders whose entries, could not be read in the last run.
    std::size_t unreadableFiles() const { return unreadableFiles_; }
    std::size_t unreadableFolders() const { return unreadableFolders_; }
    // Documents whose text could not be read (they were searched by their bytes alone).
    std::size_t unreadableDocuments() const { return unreadableDocuments_; }

  private:
    enum class Examined { Passed, Stopped };

    RunEnd runSteps();
    bool searchFolder(FolderToSearch& folder, std::size_t index);
    void keepMatchingEntries(FolderToSearch& folder, Folder& open, const std::string& mask);
    Examined examine(const FolderToSearch& folder, const DirEntry& entry, const EntryPlace& place);
    bool contentMatches(const DirEntry& entry, const EntryPlace& place, bool& stopped);
    void releaseFolders();
    std::string onDisk(const std::string& path) const;
    void finish(RunEnd end);

    SearchForm& form_;
    FileSystem& fs_;
    FoundLines found_;
    std::string start_;
    std::unique_ptr<CurrentFolderReturn>
        returnTo_;  // the folder current before the run, current again after it
    FolderList folders_;
    std::unique_ptr<FolderChain> chain_;  // the run's open folders, down to the one it searches
    std::unique_ptr<PdfTextSource> pdf_;  // outlives the helpers that use it
    std::unique_ptr<ContentPrefetch> prefetch_;
    ContentPlan plan_;
    std::pair<QString, QString> maskFields_;  // the name and extension fields the mask was composed from
    ComposedMask composed_;
    std::unique_ptr<WildcardMask> mask_;
    std::string path_;  // the entry in hand
    std::size_t unreadableFiles_ = 0;
    std::size_t unreadableFolders_ = 0;
    std::size_t unreadableDocuments_ = 0;
    std::size_t goneFolder_ = SIZE_MAX;  // the last folder whose files' answers said it could not be opened
};

// The message a finished run shows.
QString endMessage(std::size_t foundCount, std::size_t unreadableFiles, std::size_t unreadableFolders,
                   std::size_t unreadableDocuments);
