#pragma once
// Whether, and where, a file holds a text: the content test of the search run and the file viewer's search.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "matching/SearchText.h"
#include "platform/files/InputFile.h"

// Size of the regular file the path names (links followed); 0 for anything else.
std::uint64_t QueryFileSize(const std::string& path);

// Offset of the first place at or after `startOffset` where any form of the text stands in the file, the
// smallest of all forms; -1 when there is none, or when the path or the file is empty, the text is not
// findable, or the path names no regular file. A file that cannot be opened throws FileError. Events are
// pumped while it reads, block by block without the system's read-ahead, so no read holds them long; a file
// that shrinks meanwhile is searched as far as it could be read.
std::int64_t SearchFile(const std::string& path, const SearchText& text, std::uint64_t startOffset);

// SearchFile that asks `goOn`, after every block and the events pumped with it, whether to go on; once it
// answers no, the search is abandoned and kSearchAbandoned returned.
constexpr std::int64_t kSearchAbandoned = -2;
std::int64_t SearchFile(const std::string& path, const SearchText& text, std::uint64_t startOffset,
                        const std::function<bool()>& goOn);

// The search run's content test: SearchFile from offset 0 in a file the caller opened, without pumping
// events, so it may run on a helper thread. `stop` is looked at after every block read; once it is set the
// search is abandoned. A file that cannot be read throws FileError. The first bytes read are kept, so the run
// can tell a document by them without reading the file again.
class FileSearch {
  public:
    enum class Outcome { Found, NotFound, Abandoned };

    explicit FileSearch(std::shared_ptr<const SearchText> text);
    ~FileSearch();
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;

    const SearchText& text() const { return *text_; }
    Outcome find(const InputFile& file, const std::atomic<bool>& stop);
    // Up to kHeadBytes of the file's beginning, as the last find read them (none when it read nothing).
    static constexpr std::size_t kHeadBytes = 1024;
    std::string_view head() const { return head_; }

  private:
    std::shared_ptr<const SearchText> text_;
    std::unique_ptr<char[]> block_;
    std::string head_;
};
