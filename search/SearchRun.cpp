#include "search/SearchRun.h"

#include <algorithm>

#include "matching/ContentMatch.h"
#include "platform/CodePages.h"
#include "platform/EventPump.h"
#include "platform/FileError.h"
#include "platform/FileSystem.h"
#include "platform/Messages.h"
#include "platform/Wildcard.h"
#include "search/SearchForm.h"

namespace {

// Files of one folder between two interim counts of the folders found so far.
constexpr int kFilesPerInterimCount = 50;

bool isDotEntry(const std::string& name) {
    return name == "." || name == "..";
}

bool isRelative(const std::string& start) {
    return !start.empty() && start[0] != '/';
}

std::string upperLatin(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

// Lists one folder, keeping its names for the search while the budget lasts, and returns its collectable
// subfolders in listing order.
std::vector<FolderToSearch> listSubfolders(FolderToSearch& folder, std::size_t listedSoFar, SearchForm& form,
                                           FileSystem& fs, const std::string& onDiskFolder,
                                           std::size_t& namesLeft) {
    std::vector<FolderToSearch> subfolders;
    auto listing = fs.list(onDiskFolder, "*");
    folder.listed = true;
    DirEntry entry;
    int files = 0;
    while (listing->next(entry)) {
        folder.names.append(entry.name).push_back('\0');
        if (entry.directory) {
            if (!isDotEntry(entry.name) && !entry.hidden) {
                subfolders.push_back({folder.path + "/" + entry.name, false, {}});
            }
        } else if (++files > kFilesPerInterimCount) {
            form.showFoldersToSearchNow(listedSoFar + subfolders.size());
            files = 0;
        }
        pumpEvents();
    }
    if (folder.names.size() <= namesLeft) {
        namesLeft -= folder.names.size();
    } else {
        folder.names = std::string();  // past the budget the folder is read again when its turn comes
        folder.listed = false;
    }
    return subfolders;
}

// The entries the collection kept for a folder, filtered by the mask composed when its turn comes.
class KeptListing : public DirListing {
  public:
    KeptListing(const std::string& names, const std::string& mask) : names_(names), mask_(mask) {}

    bool next(DirEntry& entry) override {
        while (at_ < names_.size()) {
            const std::size_t end = names_.find('\0', at_);
            const std::string_view name(names_.data() + at_, end - at_);
            at_ = end + 1;
            if (mask_.matches(name)) {
                entry.name.assign(name);
                return true;
            }
        }
        return false;
    }

  private:
    const std::string& names_;
    WildcardMask mask_;
    std::size_t at_ = 0;
};

}  // namespace

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
    if (contained.empty()) {
        return false;
    }
    const std::size_t cut = bytesOfLastCharacters(path, extensionLength);
    const std::string head = upperLatin(path.substr(0, path.size() - cut));
    return head.find(upperLatin(contained)) != std::string::npos;
}

std::vector<FolderToSearch> collectFolders(const std::string& start, SearchForm& form, FileSystem& fs,
                                           std::size_t namesBudget) {
    // A stack walk gives the same order as inserting each folder's subfolders right after it: the last
    // subfolder listed is searched first.
    std::vector<FolderToSearch> folders;
    const auto onDisk = [&](const std::string& folder) { return pathFromCurrentFolder(start, folder); };
    if (!fs.folderExists(onDisk(start))) {
        return folders;
    }
    FolderToSearch startFolder{start, false, {}};
    std::vector<FolderToSearch> pending =
        listSubfolders(startFolder, 0, form, fs, onDisk(start), namesBudget);
    bool stopped = false;
    while (!pending.empty()) {
        pumpEvents();
        if (form.stopRequested()) {
            stopped = true;
            break;
        }
        folders.push_back(std::move(pending.back()));
        pending.pop_back();
        FolderToSearch& folder = folders.back();
        auto subfolders = listSubfolders(folder, folders.size() + pending.size(), form, fs,
                                         onDisk(folder.path), namesBudget);
        pending.insert(pending.end(), std::make_move_iterator(subfolders.begin()),
                       std::make_move_iterator(subfolders.end()));
    }
    if (stopped) {
        // The folders collected so far, in the order they would have been searched; the start folder is
        // not among them.
        folders.insert(folders.end(), std::make_move_iterator(pending.rbegin()),
                       std::make_move_iterator(pending.rend()));
        return folders;
    }
    folders.insert(folders.begin(), std::move(startFolder));
    form.showFoldersToSearch(folders.size());
    return folders;
}

SearchRun::SearchRun(SearchForm& form, FileSystem& fs, std::vector<std::string>& found)
    : form_(form), fs_(fs), found_(found) {}

RunEnd SearchRun::run() {
    try {
        return runSteps();
    } catch (...) {
        form_.setSearching(
            false);  // an unexpected failure is shown by the top-level handler; the window stays usable
        throw;
    }
}

RunEnd SearchRun::runSteps() {
    found_.clear();
    form_.showResults(found_);
    form_.showFoldersToSearch(1);
    form_.showFoundCount(0);
    form_.showFoldersSearched(0);
    containedRule_ = false;
    unreadable_ = 0;
    form_.clearStopRequest();
    form_.setSearching(true);

    start_ = trimBlanks(form_.startFolder());
    if (start_.empty()) {
        form_.setSearching(false);
        return RunEnd::Early;
    }
    if (start_.back() == '/') {
        start_.pop_back();
    }
    if (!fs_.makeCurrent(start_)) {
        Messages::current().captioned(QStringLiteral("Error"),
                                      QStringLiteral("Выбранной папки не существует."));
        form_.setSearching(false);
        return RunEnd::NoFolder;
    }
    pumpEvents();

    const std::vector<FolderToSearch> folders = form_.subfoldersWanted()
                                                    ? collectFolders(start_, form_, fs_)
                                                    : std::vector<FolderToSearch>{{start_, false, {}}};
    std::size_t searched = 0;
    for (const FolderToSearch& each : folders) {
        if (!searchFolder(each)) {
            finish(RunEnd::Stopped);
            return RunEnd::Stopped;
        }
        form_.showFoldersSearched(++searched);
    }
    finish(RunEnd::Normal);
    return RunEnd::Normal;
}

bool SearchRun::searchFolder(const FolderToSearch& folder) {
    const ComposedMask composed = composeMask(form_.nameText(), form_.extensionText());
    if (composed.containedNameRule) {
        containedRule_ = true;  // once set it holds for the rest of the run
        containedText_ = composed.containedText;
    }
    std::unique_ptr<DirListing> listing;
    if (folder.listed) {
        listing = std::make_unique<KeptListing>(folder.names, composed.mask);
    } else {
        listing = fs_.list(onDisk(folder.path), composed.mask);
    }
    DirEntry entry;
    while (listing->next(entry)) {
        if (form_.stopRequested()) {
            return false;
        }
        examine(folder.path, entry.name);
        pumpEvents();
    }
    return true;
}

void SearchRun::examine(const std::string& folder, const std::string& name) {
    std::string path = folder + "/" + name;
    if (containedRule_) {
        const auto extensionLength = static_cast<std::size_t>(trimBlanks(form_.extensionText()).size());
        if (!containsName(path, extensionLength, containedText_)) {
            return;
        }
    }
    if (form_.contentWanted() && !contentMatches(path)) {
        return;
    }
    found_.push_back(std::move(path));
    form_.showFoundCount(found_.size());
}

bool SearchRun::contentMatches(const std::string& path) {
    std::string text = codepage::toWin1251(trimBlanks(form_.contentText()));
    if (text.empty()) {
        return false;
    }
    if (form_.dosEncodingWanted()) {
        text = WinToDos(text);
    }
    try {
        return SearchFile(onDisk(path), text, 0) >= 0;
    } catch (const FileError&) {
        ++unreadable_;  // counted and reported at the end; the run goes on
        return false;
    }
}

std::string SearchRun::onDisk(const std::string& path) const {
    return pathFromCurrentFolder(start_, path);
}

void SearchRun::finish(RunEnd end) {
    if (end == RunEnd::Normal) {
        form_.setSearching(false);
    }
    form_.showResults(found_);
    if (!form_.windowClosed()) {
        Messages::current().information(endMessage(found_.size(), unreadable_));
    }
    if (end == RunEnd::Stopped) {
        form_.setSearching(false);
    }
}

QString endMessage(std::size_t foundCount, std::size_t unreadableFiles) {
    QString message = foundCount > 0 ? QStringLiteral("Поиск успешен! Выбери то, что нужно.")
                                     : QStringLiteral("К сожалению, ничего не найдено...");
    if (unreadableFiles > 0) {
        message += QStringLiteral("\nНе удалось прочитать файлов: %1").arg(unreadableFiles);
    }
    return message;
}
