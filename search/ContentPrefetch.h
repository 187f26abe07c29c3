#pragma once
// Helper threads that search the content of the files a run is about to ask about, ahead of it, so reading
// and scanning use every core while the run stays on the user-interface thread. The run still asks about
// each file in its own order and decides everything itself: the helpers guess the files from the run's
// present mask, name rule and text, and an answer is used only when it is for the very file and text the run
// asks about; on any difference the helpers start again from that file. The helpers touch no widget and
// pump no events. They take files in batches, so the run and the helpers seldom wait for each other, open
// each file from its folder's descriptor, and run at a lower priority than the window's thread.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "documents/DocumentMatch.h"
#include "matching/SearchText.h"
#include "platform/files/InputFile.h"
#include "platform/files/Wildcard.h"
#include "platform/threads/WindowWait.h"
#include "search/ContentTest.h"
#include "search/walk/FolderChain.h"
#include "search/walk/FolderCollection.h"

class FileSearch;

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
    std::string path;  // its result line: the folder's path, "/" and its name
    InputFile::Listed listed = InputFile::Listed::Unknown;
};

class ContentPrefetch {
  public:
    using Answer = ContentAnswer;

    // `folders` must not change while the helpers live. `startFolder` is the run's start folder `start`,
    // open: the helpers reach every folder from it, however its path changes during the run.
    ContentPrefetch(const FolderList& folders, const std::string& start, Folder& startFolder,
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
        explicit Helper(FolderChain folders) : folders(std::move(folders)) {}
        std::thread thread;
        std::atomic<bool> cancel{false};
        FolderChain folders;  // the folders this helper has open, down to the one in hand
    };
    // Files one helper took: each slot's number since the prefetch began, its question and its answer.
    struct Job {
        std::uint64_t number;
        ContentQuestion question;
        Answer answer = Answer::NotFound;
        std::exception_ptr failure;
    };

    void restart(const ContentQuestion& question, const ContentPlan& plan);
    void help(Helper& self);
    Answer answer(Helper& self, FileSearch& search, const ContentQuestion& question,
                  const DocumentQuery* documents, PdfTextSource* pdf);
    // Under the lock: takes up to a batch of slots to work on into `jobs`. Looks at a bounded number of
    // entries, so the lock is never held long; `more` says whether another call may find one.
    void claim(std::vector<Job>& jobs, bool& more);
    std::optional<std::size_t> claimOne(bool& more);
    bool enumerate(ContentQuestion& found, bool& more);

    const FolderList& folders_;

    std::mutex mutex_;
    std::condition_variable work_;
    Doorbell done_;  // rung when an answer is in
    bool quit_ = false;
    bool active_ = false;
    unsigned idle_ = 0;  // helpers waiting for work
    std::uint64_t generation_ = 0;
    ContentPlan plan_;
    std::unique_ptr<WildcardMask> mask_;
    EntryPlace cursor_;
    bool exhausted_ = true;
    std::deque<Slot> slots_;
    std::uint64_t firstSlot_ = 0;  // the number of slots_.front() since the prefetch began
    std::vector<std::unique_ptr<Helper>> helpers_;
};
