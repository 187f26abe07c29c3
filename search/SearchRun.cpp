#include "search/SearchRun.h"

#include <algorithm>
#include <thread>

#include "documents/pdf/PdfHelperPool.h"
#include "matching/ContentMatch.h"
#include "platform/EventPump.h"
#include "platform/Messages.h"
#include "platform/files/CurrentFolder.h"
#include "platform/files/FileSystem.h"
#include "platform/files/Wildcard.h"
#include "search/SearchForm.h"
#include "search/walk/FolderChain.h"

namespace {

bool isRelative(const std::string& start) {
    return !start.empty() && start[0] != '/';
}

// The entries the collection kept for a folder, filtered by the mask composed when its turn comes.
class KeptListing : public DirListing {
  public:
    KeptListing(const std::string& names, const WildcardMask& mask) : names_(names), mask_(mask) {}

    bool next(DirEntry& entry) override {
        while (next_ < names_.size()) {
            const KeptEntry kept = keptEntryAt(names_, next_);
            at_ = next_;
            next_ = kept.next;
            if (mask_.matches(kept.name)) {
                entry.name.assign(kept.name);
                entry.type = kept.type;
                return true;
            }
        }
        return false;
    }
    // Where the entry last returned starts in the names.
    std::size_t at() const { return at_; }

  private:
    const std::string& names_;
    const WildcardMask& mask_;
    std::size_t at_ = 0;
    std::size_t next_ = 0;
};

}  // namespace

std::optional<std::string> runStartFolder(const std::string& typed) {
    std::string start = trimBlanks(typed);
    if (start.empty()) {
        return std::nullopt;
    }
    if (start.back() == '/') {
        start.pop_back();
    }
    return start;
}

std::string pathFromCurrentFolder(const std::string& start, const std::string& path) {
    return isRelative(start) ? "." + path.substr(start.size()) : path;
}

std::string trimBlanks(const std::string& bytes) {
    const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    std::size_t begin = 0;
    std::size_t end = bytes.size();
    while (begin < end && blank(bytes[begin])) {
        ++begin;
    }
    while (end > begin && blank(bytes[end - 1])) {
        --end;
    }
    return bytes.substr(begin, end - begin);
}

QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32) {
        ++begin;
    }
    while (end > begin && text.at(end - 1).unicode() <= 32) {
        --end;
    }
    return text.mid(begin, end - begin);
}

ComposedMask composeMask(const QString& nameField, const QString& extensionField) {
    const std::string name = trimBlanks(nameField).toStdString();
    const std::string extension = trimBlanks(extensionField).toStdString();
    ComposedMask composed;
    if (name == "*") {
        composed.mask = "*." + extension;
    } else if (name.size() > 1 && name[0] == '*') {
        composed.containedNameRule = true;
        composed.containedText = name.substr(1);
        composed.mask = "*." + extension;
    } else {
        composed.mask = name + "." + extension;
    }
    return composed;
}

bool containsName(const std::string& path, std::size_t extensionLength, const std::string& contained) {
    return occursIn(path, extensionLength, contained);
}

SearchRun::SearchRun(SearchForm& form, FileSystem& fs) : form_(form), fs_(fs) {}

SearchRun::~SearchRun() = default;

RunEnd SearchRun::run() {
    try {
        return runSteps();
    } catch (...) {
        prefetch_.reset();
        returnTo_.reset();
        form_.setSearching(
            false);  // an unexpected failure is shown by the top-level handler; the window stays usable
        throw;
    }
}

RunEnd SearchRun::runSteps() {
    form_.showResults(FoundLines());
    form_.showFoldersToSearch(1);
    form_.showFoundCount(0);
    form_.showFoldersSearched(0);
    form_.clearStopRequest();
    form_.setSearching(true);

    const std::optional<std::string> start = runStartFolder(form_.startFolder());
    if (!start) {
        form_.setSearching(false);
        return RunEnd::Early;
    }
    start_ = *start;
    returnTo_ = std::make_unique<CurrentFolderReturn>();
    if (!fs_.makeCurrent(start_)) {
        Messages::current().captioned(QStringLiteral("Error"),
                                      QStringLiteral("Выбранной папки не существует."));
        form_.setSearching(false);
        return RunEnd::NoFolder;
    }
    // Opened once: the run reaches every folder and file from it, wherever the start folder moves meanwhile.
    std::unique_ptr<Folder> startFolder = fs_.openFolder(onDisk(start_));
    pumpEvents();

    if (form_.subfoldersWanted()) {
        folders_ = collectFolders(start_, startFolder->openBelow("."), form_, kKeptNamesBudget,
                                  fs_.listingReaders(onDisk(start_)));
        unreadableFolders_ = static_cast<std::size_t>(
            std::count_if(folders_.begin(), folders_.end(),
                          [](const FolderToSearch& folder) { return folder.unreadable; }));
    } else {
        folders_.push_back({start_, false, false, {}});
    }
    chain_ = std::make_unique<FolderChain>(start_, std::move(startFolder));
    for (std::size_t index = 0; index < folders_.size(); ++index) {
        if (!searchFolder(folders_[index], index)) {
            finish(RunEnd::Stopped);
            return RunEnd::Stopped;
        }
        form_.showFoldersSearched(index + 1);
        if (!prefetch_) {
            // Nothing reads a searched folder again: its memory goes to the results that follow. (Helpers
            // may still be reading folders behind the run, so with them all is released at the end.)
            folders_[index] = FolderToSearch();
        }
    }
    finish(RunEnd::Normal);
    return RunEnd::Normal;
}

void SearchRun::keepMatchingEntries(FolderToSearch& folder, Folder& open, const std::string& mask) {
    auto listing = open.list(mask);
    DirEntry entry;
    while (listing->next(entry) && folder.names.size() < kKeptNamesBudget && !form_.stopRequested()) {
        keepEntry(folder.names, entry);
        pumpEvents();
    }
    if (folder.names.size() >= kKeptNamesBudget) {
        folder.names = std::string();  // too many: listed again as it is searched
        return;
    }
    folder.listed = true;
    folder.unreadable = open.error() != 0;
    unreadableFolders_ += folder.unreadable ? 1 : 0;
}

bool SearchRun::searchFolder(FolderToSearch& folder, std::size_t index) {
    // Composed again only when the fields have changed: tens of thousands of folders cost nothing more.
    const QString nameText = form_.nameText();
    const QString extensionText = form_.extensionText();
    if (!mask_ || nameText != maskFields_.first || extensionText != maskFields_.second) {
        composed_ = composeMask(nameText, extensionText);
        mask_ = std::make_unique<WildcardMask>(composed_.mask);
        maskFields_ = {nameText, extensionText};
    }
    const ComposedMask& composed = composed_;
    if (composed.containedNameRule) {
        plan_.containedRule = true;  // once set it holds for the rest of the run
        plan_.containedText = composed.containedText;
    }
    plan_.mask = composed.mask;

    // A folder whose entries were kept is read once per run. For its files' content the helpers open it
    // again; one removed or locked since the collection is counted from their answers.
    const bool opened = !folder.listed;
    Folder* open = opened ? &chain_->open(folder.path) : nullptr;
    if (opened && open->error() != 0) {
        unreadableFolders_ += folder.unreadable ? 0 : 1;
        return true;
    }
    if (!folder.listed && !prefetch_ && form_.contentWanted()) {
        keepMatchingEntries(folder, *open, composed.mask);  // so the helpers can search ahead in it
    }
    KeptListing* kept = nullptr;
    std::unique_ptr<DirListing> listing;
    if (folder.listed) {
        listing = std::make_unique<KeptListing>(folder.names, *mask_);
        kept = static_cast<KeptListing*>(listing.get());
    } else {
        listing = open->list(composed.mask);
    }
    DirEntry entry;
    for (std::size_t ordinal = 0; listing->next(entry); ++ordinal) {
        if (form_.stopRequested()) {
            return false;
        }
        if (isDotEntry(entry.name)) {
            continue;  // never a result, nor counted
        }
        if (examine(folder, entry, {index, kept != nullptr ? kept->at() : ordinal}) == Examined::Stopped) {
            return false;
        }
        pumpEvents();
    }
    if (opened && open->error() != 0 && !folder.unreadable) {
        ++unreadableFolders_;  // it could not be read to its end
    }
    return true;
}

SearchRun::Examined SearchRun::examine(const FolderToSearch& folder, const DirEntry& entry,
                                       const EntryPlace& place) {
    path_.assign(folder.path).append("/").append(entry.name);
    if (plan_.containedRule) {
        plan_.extensionLength = static_cast<std::size_t>(trimBlanks(form_.extensionText()).size());
        if (!containsName(path_, plan_.extensionLength, plan_.containedText)) {
            return Examined::Passed;
        }
    }
    if (form_.contentWanted()) {
        bool stopped = false;
        if (!contentMatches(entry, place, stopped)) {
            return stopped ? Examined::Stopped : Examined::Passed;
        }
    }
    found_.append(path_);
    form_.showFoundCount(found_.size());
    return Examined::Passed;
}

bool SearchRun::contentMatches(const DirEntry& entry, const EntryPlace& place, bool& stopped) {
    const QString typed = trimBlanks(form_.contentText());
    if (typed.isEmpty() || entry.directory() || entry.type == DirEntry::Type::Other) {
        return false;  // folders never match; FIFOs, sockets and devices are never opened
    }
    std::vector<TextEncoding> encodings = SearchText::contentEncodings(form_.dosEncodingWanted());
    if (!plan_.text || plan_.text->typed() != typed || plan_.text->encodings() != encodings) {
        plan_.text = std::make_shared<const SearchText>(typed, std::move(encodings));
        plan_.documents = form_.dosEncodingWanted() ? nullptr : std::make_shared<const DocumentQuery>(typed);
    }
    if (!prefetch_) {
        const unsigned helpers = std::max(1u, std::thread::hardware_concurrency());
        if (!pdf_) {
            pdf_ = makePdfTextSource(helpers);  // its helper processes start with the first PDF
            plan_.pdf = pdf_.get();
        }
        prefetch_ = std::make_unique<ContentPrefetch>(folders_, start_, chain_->start(), helpers);
    }
    const ContentQuestion question{
        place, path_,
        entry.type == DirEntry::Type::File ? InputFile::Listed::AsRegularFile : InputFile::Listed::Unknown};
    const auto keepWaiting = [this] {
        pumpEvents();
        return !form_.stopRequested();
    };
    switch (prefetch_->ask(question, plan_, keepWaiting)) {
        case ContentPrefetch::Answer::Found:
            return true;
        case ContentPrefetch::Answer::NotFound:
            return false;
        case ContentPrefetch::Answer::Unreadable:
            ++unreadableFiles_;  // counted and reported at the end; the run goes on
            return false;
        case ContentPrefetch::Answer::DocumentUnreadable:
            ++unreadableDocuments_;
            return false;
        case ContentPrefetch::Answer::FolderUnreadable:
            // Once for the folder, whose files come one after another, and not when the collection counted
            // it.
            if (place.folder != goneFolder_ && !folders_[place.folder].unreadable) {
                ++unreadableFolders_;
            }
            goneFolder_ = place.folder;
            return false;
        case ContentPrefetch::Answer::Abandoned:
            stopped = true;  // "Стоп" during the file's search: it is not a match
            return false;
    }
    return false;
}

void SearchRun::releaseFolders() {
    // Tens of thousands of folders take a while to free: events are pumped between slices.
    constexpr std::size_t kFoldersPerSlice = 2048;
    for (std::size_t released = 0; !folders_.empty(); ++released) {
        folders_.pop_back();
        if (released % kFoldersPerSlice == kFoldersPerSlice - 1) {
            pumpEvents();
        }
    }
}

std::string SearchRun::onDisk(const std::string& path) const {
    return pathFromCurrentFolder(start_, path);
}

void SearchRun::finish(RunEnd end) {
    prefetch_.reset();
    chain_.reset();
    returnTo_.reset();
    pdf_.reset();
    releaseFolders();
    if (end == RunEnd::Normal) {
        form_.setSearching(false);
    }
    const std::size_t foundCount = found_.size();
    form_.showResults(std::move(found_));
    if (!form_.windowClosed()) {
        Messages::current().information(
            endMessage(foundCount, unreadableFiles_, unreadableFolders_, unreadableDocuments_));
    }
    if (end == RunEnd::Stopped) {
        form_.setSearching(false);
    }
}

QString endMessage(std::size_t foundCount, std::size_t unreadableFiles, std::size_t unreadableFolders,
                   std::size_t unreadableDocuments) {
    QString message = foundCount > 0 ? QStringLiteral("Поиск успешен! Выбери то, что нужно.")
                                     : QStringLiteral("К сожалению, ничего не найдено...");
    if (unreadableFiles > 0) {
        message += QStringLiteral("\nНе удалось прочитать файлов: %1").arg(unreadableFiles);
    }
    if (unreadableFolders > 0) {
        message += QStringLiteral("\nНе удалось прочитать папок: %1").arg(unreadableFolders);
    }
    if (unreadableDocuments > 0) {
        message += QStringLiteral("\nНе удалось прочитать текст документов: %1").arg(unreadableDocuments);
    }
    return message;
}
