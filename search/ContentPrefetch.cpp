#include "search/ContentPrefetch.h"

#include <chrono>
#include <new>

#include "matching/ContentMatch.h"
#include "platform/threads/HelperPriority.h"
#include "platform/threads/WindowWait.h"
#include "search/SearchRun.h"

namespace {

// Answers kept ready ahead of the run; enough to keep every helper busy across folders of small files.
constexpr std::size_t kAhead = 64;
// Files a helper takes at once: one hand-off, and one wake-up of the run, per batch instead of per file.
constexpr std::size_t kBatch = 8;
// Entries looked at per hold of the lock, so the run never waits long for it.
constexpr int kEntriesPerLook = 512;
// How often a waiting run looks at its window.
constexpr auto kWaitSlice = std::chrono::milliseconds(4);

std::string nameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

}  // namespace

ContentPrefetch::ContentPrefetch(const FolderList& folders, const std::string& start, Folder& startFolder,
                                 unsigned helpers)
    : folders_(folders) {
    for (unsigned i = 0; i < std::max(1u, helpers); ++i) {
        helpers_.push_back(std::make_unique<Helper>(
            FolderChain(start, startFolder.openBelow("."), FolderChain::kHelperChain)));
    }
    for (auto& helper : helpers_) {
        helper->thread = std::thread([this, self = helper.get()] { help(*self); });
    }
}

ContentPrefetch::~ContentPrefetch() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
        for (auto& helper : helpers_) {
            helper->cancel = true;
        }
    }
    work_.notify_all();
    for (auto& helper : helpers_) {
        helper->thread.join();
    }
}

ContentPrefetch::Answer ContentPrefetch::ask(const ContentQuestion& question, const ContentPlan& plan,
                                             const std::function<bool()>& keepWaiting) {
    std::unique_lock<std::mutex> lock(mutex_, std::defer_lock);
    lockPumpingEvents(lock);
    if (!active_ || !(plan == plan_)) {
        restart(question, plan);
    }
    while (true) {
        bool freed = false;
        while (!slots_.empty() && slots_.front().question.place < question.place) {
            slots_.pop_front();  // the run passed it by: its mask or rule differed from the guess
            ++firstSlot_;
            freed = true;
        }
        if (slots_.empty() ? exhausted_ || question.place < cursor_
                           : !(slots_.front().question.place == question.place)) {
            restart(question, plan);  // the guess left this file out
            continue;
        }
        if (!slots_.empty() && slots_.front().state == State::Done) {
            const Slot slot = std::move(slots_.front());
            slots_.pop_front();
            ++firstSlot_;
            if (idle_ > 0 && slots_.size() + kBatch <= kAhead) {
                work_.notify_all();  // room for a batch: the helpers may go on
            }
            if (slot.failure) {
                std::rethrow_exception(slot.failure);
            }
            return slot.answer;
        }
        if (freed) {
            work_.notify_all();
        }
        lock.unlock();
        done_.waitFor(kWaitSlice);
        const bool keep = keepWaiting();
        lockPumpingEvents(lock);
        if (!keep) {
            return Answer::Abandoned;
        }
    }
}

void ContentPrefetch::restart(const ContentQuestion& question, const ContentPlan& plan) {
    ++generation_;
    if (!mask_ || !(plan == plan_)) {
        plan_ = plan;
        mask_ = std::make_unique<WildcardMask>(plan.mask);
    }
    for (auto& helper : helpers_) {
        helper->cancel = true;
    }
    firstSlot_ += slots_.size();
    slots_.clear();
    slots_.push_back({question, State::Waiting, Answer::NotFound, nullptr});
    const FolderToSearch& folder = folders_[question.place.folder];
    cursor_ = folder.listed
                  ? EntryPlace{question.place.folder, keptEntryAt(folder.names, question.place.at).next}
                  : EntryPlace{question.place.folder + 1, 0};
    exhausted_ = false;
    active_ = true;
    work_.notify_all();
}

bool ContentPrefetch::enumerate(ContentQuestion& found, bool& more) {
    for (int looked = 0; cursor_.folder < folders_.size(); ++looked) {
        if (looked == kEntriesPerLook) {
            more = true;
            return false;
        }
        const FolderToSearch& folder = folders_[cursor_.folder];
        if (!folder.listed || cursor_.at >= folder.names.size()) {
            cursor_ = {cursor_.folder + 1, 0};
            continue;
        }
        const KeptEntry entry = keptEntryAt(folder.names, cursor_.at);
        const EntryPlace place = cursor_;
        cursor_.at = entry.next;
        if (entry.type == DirEntry::Type::Folder || entry.type == DirEntry::Type::Other ||
            !mask_->matches(entry.name)) {
            continue;
        }
        std::string path = folder.path + "/" + std::string(entry.name);
        if (plan_.containedRule && !containsName(path, plan_.extensionLength, plan_.containedText)) {
            continue;
        }
        found = {place, std::move(path),
                 entry.type == DirEntry::Type::File ? InputFile::Listed::AsRegularFile
                                                    : InputFile::Listed::Unknown};
        more = true;
        return true;
    }
    exhausted_ = true;
    more = false;
    return false;
}

std::optional<std::size_t> ContentPrefetch::claimOne(bool& more) {
    for (std::size_t at = 0; at < slots_.size(); ++at) {
        if (slots_[at].state == State::Waiting) {
            more = true;
            return at;
        }
    }
    more = false;
    ContentQuestion next;
    if (exhausted_ || slots_.size() >= kAhead || !enumerate(next, more)) {
        return std::nullopt;
    }
    slots_.push_back({std::move(next), State::Waiting, Answer::NotFound, nullptr});
    return slots_.size() - 1;
}

void ContentPrefetch::claim(std::vector<Job>& jobs, bool& more) {
    jobs.clear();
    while (jobs.size() < kBatch) {
        const std::optional<std::size_t> at = claimOne(more);
        if (!at) {
            return;
        }
        slots_[*at].state = State::Running;
        jobs.push_back({firstSlot_ + *at, slots_[*at].question, Answer::NotFound, nullptr});
    }
}

ContentPrefetch::Answer ContentPrefetch::answer(Helper& self, FileSearch& search,
                                                const ContentQuestion& question,
                                                const DocumentQuery* documents, PdfTextSource* pdf) {
    Folder& folder = self.folders.open(folders_[question.place.folder].path);
    return testContent(folder, nameOf(question.path), question.path, question.listed, search, self.cancel,
                       documents, pdf);
}

void ContentPrefetch::help(Helper& self) {
    lowerThisThreadPriority();
    std::unique_ptr<FileSearch> search;
    std::vector<Job> jobs;
    std::unique_lock<std::mutex> lock(mutex_);
    while (!quit_) {
        bool more = false;
        if (active_) {
            claim(jobs, more);
        } else {
            jobs.clear();
        }
        if (jobs.empty()) {
            if (more) {
                lock.unlock();  // a long stretch without candidates: let the run in before looking on
                std::this_thread::yield();
                lock.lock();
            } else {
                ++idle_;
                work_.wait(lock);
                --idle_;
            }
            continue;
        }
        const std::uint64_t generation = generation_;
        const bool newText = !search || search->text() != *plan_.text;
        const std::shared_ptr<const SearchText> text = newText ? plan_.text : nullptr;
        const std::shared_ptr<const DocumentQuery> documents = plan_.documents;
        PdfTextSource* const pdf = plan_.pdf;
        self.cancel = false;
        lock.unlock();

        std::size_t answered = 0;
        for (Job& job : jobs) {
            if (self.cancel) {
                break;  // the run started again elsewhere: the rest of the batch is of no use
            }
            try {
                if (newText && answered == 0) {
                    search.reset();
                    search = std::make_unique<FileSearch>(text);
                }
                if (!search) {
                    throw std::bad_alloc();  // the search for the batch's text could not be made
                }
                job.answer = answer(self, *search, job.question, documents.get(), pdf);
            } catch (...) {
                job.failure = std::current_exception();
            }
            ++answered;
        }

        lock.lock();
        if (generation != generation_) {
            continue;
        }
        for (std::size_t i = 0; i < answered; ++i) {
            const Job& job = jobs[i];
            if (job.number >= firstSlot_ && job.number - firstSlot_ < slots_.size()) {
                Slot& done = slots_[job.number - firstSlot_];
                done.state = State::Done;
                done.answer = job.answer;
                done.failure = job.failure;
            }
        }
        done_.ring();
    }
}
