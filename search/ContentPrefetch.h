#pragma once
// Helper threads that search the content of the files a run is about to ask about, ahead of it, so reading
// and scanning use every core while the run stays on the user-interface thread. The run still asks about
// each file in its own order and decides everything itself: the helpers guess the files from the run's
// present mask, name rule and text, and an answer is used only when it is for the very file and text the run
// asks about; on any difference the helpers start again from that file. The helpers touch no widget and
// pump no events.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "documents/DocumentMatch.h"
#include "matching/SearchText.h"
#include "platform/files/InputFile.h"
#include "platform/files/Wildcard.h"
#include "search/walk/FolderCollection.h"

// Where an entry stands in a run: its folder's place in the folder list and, in a folder whose entries were
// kept, the byte where the entry starts in them (elsewhere its place in the folder's listing).
struct EntryPlace {
    std::size_t folder = 0;
    std::size_t at = 0;
    bool operator<(const EntryPlace& other) const {
        return folder != other.folder ? folder < other.folder : at < other.at;
    }
    bool operator==(const EntryPlace& other) const { return folder == other.folder && at == other.at; }
};

// What decides which entries the run tests for content, and with what text.
struct ContentPlan {
    std::string mask;
    bool containedRule = false;
    std::string containedText;
    std::size_t extensionLength = 0;
    std::shared_ptr<const SearchText> text;  // compiled once for the run, shared by the helpers
    // Documents' text is searched too (the same typed text; none with "DOS"), PDFs through `pdf`.
    std::shared_ptr<const DocumentQuery> documents;
    PdfTextSource* pdf = nullptr;
    bool operator==(const ContentPlan& other) const {
        const bool sameText = text && other.text ? *text == *other.text : text == other.text;
        return mask == other.mask && containedRule == other.containedRule &&
               containedText == other.containedText && extensionLength == other.extensionLength && sameText;
    }
};

// One file the run asks about.
struct ContentQuestion {
    EntryPlace place;
    std::string path;  // as the system is given it
    InputFile::Listed listed = InputFile::Listed::Unknown;
};

class ContentPrefetch {
  public:
    // DocumentUnreadable: the bytes do not hold the text and the document's text could not be read.
    enum class Answer { Found, NotFound, Unreadable, DocumentUnreadable, Abandoned };

    // `folders` must not change while the helpers live; `onDisk` turns a result path into the path the
    // system is given.
    ContentPrefetch(const FolderList& folders, std::function<std::string(std::string)> onDisk,
                    unsigned helpers);
    ~ContentPrefetch();
    ContentPrefetch(const ContentPrefetch&) = delete;
    ContentPrefetch& operator=(const ContentPrefetch&) = delete;

    // Whether the file holds the plan's text. While it waits it calls `keepWaiting` every few milliseconds;
    // when that returns false the search of the file is abandoned. An unexpected failure of the search is
    // thrown here.
    Answer ask(const ContentQuestion& question, const ContentPlan& plan,
               const std::function<bool()>& keepWaiting);

  private:
    enum class State { Waiting, Running, Done };
    struct Slot {
        ContentQuestion question;
        State state = State::Waiting;
        Answer answer = Answer::NotFound;
        std::exception_ptr failure;
    };
    struct Helper {
        std::thread thread;
        std::atomic<bool> cancel{false};
    };

    void restart(const ContentQuestion& question, const ContentPlan& plan);
    void help(Helper& self);
    // Under the lock: the next slot to work on, or nullptr. Looks at a bounded number of entries, so the lock
    // is never held long; `more` says whether another call may find one.
    Slot* claim(bool& more);
    bool enumerate(ContentQuestion& found, bool& more);

    const FolderList& folders_;
    std::function<std::string(std::string)> onDisk_;

    std::mutex mutex_;
    std::condition_variable work_;
    std::condition_variable done_;
    bool quit_ = false;
    bool active_ = false;
    std::uint64_t generation_ = 0;
    ContentPlan plan_;
    std::unique_ptr<WildcardMask> mask_;
    EntryPlace cursor_;
    bool exhausted_ = true;
    std::deque<Slot> slots_;
    std::uint64_t firstSlot_ = 0;  // the number of slots_.front() since the prefetch began
    std::vector<std::unique_ptr<Helper>> helpers_;
};
