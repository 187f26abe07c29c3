#include "search/ContentPrefetch.h"

#include <chrono>

#include "matching/ContentMatch.h"
#include "platform/files/FileError.h"
#include "search/FileContent.h"
#include "search/SearchRun.h"

namespace {

// Answers kept ready ahead of the run; enough to keep every helper busy across folders of small files.
constexpr std::size_t kAhead = 64;
// Entries looked at per hold of the lock, so the run never waits long for it.
constexpr int kEntriesPerLook = 512;
// How often a waiting run looks at its window.
constexpr auto kWaitSlice = std::chrono::milliseconds(4);

}  // namespace

ContentPrefetch::ContentPrefetch(const FolderList& folders, std::function<std::string(std::string)> onDisk,
                                 unsigned helpers)
    : folders_(folders), onDisk_(std::move(onDisk)) {
    for (unsigned i = 0; i < std::max(1u, helpers); ++i) {
        helpers_.push_back(std::make_unique<Helper>());
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
    std::unique_lock<std::mutex> lock(mutex_);
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
            work_.notify_all();
            if (slot.failure) {
                std::rethrow_exception(slot.failure);
            }
            return slot.answer;
        }
        if (freed) {
            work_.notify_all();
        }
        done_.wait_for(lock, kWaitSlice);
        lock.unlock();
        const bool keep = keepWaiting();
        lock.lock();
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
        found = {place, onDisk_(std::move(path)),
                 entry.type == DirEntry::Type::File ? InputFile::Listed::AsRegularFile
                                                    : InputFile::Listed::Unknown};
        more = true;
        return true;
    }
    exhausted_ = true;
    more = false;
    return false;
}

ContentPrefetch::Slot* ContentPrefetch::claim(bool& more) {
    for (Slot& slot : slots_) {
        if (slot.state == State::Waiting) {
            more = true;
            return &slot;
        }
    }
    more = false;
    ContentQuestion next;
    if (exhausted_ || slots_.size() >= kAhead || !enumerate(next, more)) {
        return nullptr;
    }
    slots_.push_back({std::move(next), State::Waiting, Answer::NotFound, nullptr});
    return &slots_.back();
}

void ContentPrefetch::help(Helper& self) {
    std::unique_ptr<FileSearch> search;
    std::unique_lock<std::mutex> lock(mutex_);
    while (!quit_) {
        bool more = false;
        Slot* slot = active_ ? claim(more) : nullptr;
        if (slot == nullptr) {
            if (more) {
                lock.unlock();  // a long stretch without candidates: let the run in before looking on
                std::this_thread::yield();
                lock.lock();
            } else {
                work_.wait(lock);
            }
            continue;
        }
        slot->state = State::Running;
        std::uint64_t number = firstSlot_;
        for (const Slot& each : slots_) {
            if (&each == slot) {
                break;
            }
            ++number;
        }
        const ContentQuestion question = slot->question;
        const std::uint64_t generation = generation_;
        const bool newText = !search || search->text() != *plan_.text;
        const std::shared_ptr<const SearchText> text = newText ? plan_.text : nullptr;
        const std::shared_ptr<const DocumentQuery> documents = plan_.documents;
        PdfTextSource* const pdf = plan_.pdf;
        self.cancel = false;
        lock.unlock();

        Answer answer = Answer::NotFound;
        std::exception_ptr failure;
        try {
            if (newText) {
                search = std::make_unique<FileSearch>(text);
            }
            answer = fileContent(*search, question, self.cancel, documents.get(), pdf);
        } catch (const FileError&) {
            answer = Answer::Unreadable;
        } catch (...) {
            failure = std::current_exception();
        }

        lock.lock();
        if (generation == generation_ && number >= firstSlot_ && number - firstSlot_ < slots_.size()) {
            Slot& done = slots_[number - firstSlot_];
            done.state = State::Done;
            done.answer = answer;
            done.failure = failure;
            done_.notify_all();
        }
    }
}
