#pragma once
// What a search run reads from and writes to the search window, so the run itself needs no widgets.

#include <QString>
#include <string>

#include "search/results/FoundLines.h"

class SearchForm {
  public:
    virtual ~SearchForm() = default;

    virtual std::string startFolder() const = 0;  // "В папке:", as the bytes of the path
    virtual QString nameText() const = 0;         // name mask
    virtual QString extensionText() const = 0;    // extension mask
    virtual QString contentText() const = 0;      // the text looked for inside files
    virtual bool subfoldersWanted() const = 0;
    virtual bool contentWanted() const = 0;
    virtual bool dosEncodingWanted() const = 0;

    virtual bool stopRequested() const = 0;
    virtual void clearStopRequest() = 0;
    // The window was closed: the program is ending, so the run ends quietly.
    virtual bool windowClosed() const = 0;

    virtual void setSearching(bool searching) = 0;
    virtual void showFoldersToSearch(std::size_t count) = 0;
    // The interim count during the collection, drawn at once.
    virtual void showFoldersToSearchNow(std::size_t count) = 0;
    virtual void showFoldersSearched(std::size_t count) = 0;
    virtual void showFoundCount(std::size_t count) = 0;
    // Hands the lines to the result list; they are moved, not copied.
    virtual void showResults(FoundLines lines) = 0;
};
