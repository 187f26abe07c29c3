#include "FakeFileSystem.h"

#include <cerrno>

#include "platform/files/Wildcard.h"

namespace {

class VectorListing : public DirListing {
  public:
    explicit VectorListing(std::vector<DirEntry> entries) : entries_(std::move(entries)) {}
    bool next(DirEntry& entry) override {
        if (at_ >= entries_.size()) {
            return false;
        }
        entry = entries_[at_++];
        return true;
    }

  private:
    std::vector<DirEntry> entries_;
    std::size_t at_ = 0;
};

}  // namespace

class FakeFolder : public Folder {
  public:
    FakeFolder(FakeFileSystem& fs, std::string path) : fs_(fs), path_(std::move(path)) {
        const std::lock_guard<std::mutex> hold(fs_.mutex_);
        const auto locked = fs_.errors_.find(path_);
        error_ = locked != fs_.errors_.end() ? locked->second : fs_.folders_.count(path_) > 0 ? 0 : ENOENT;
    }
    int error() const override { return error_; }
    std::unique_ptr<DirListing> list(const std::string& mask) override {
        const std::lock_guard<std::mutex> hold(fs_.mutex_);
        fs_.listed.push_back(path_ + " " + mask);
        std::vector<DirEntry> matching;
        if (error_ == 0) {
            const WildcardMask wildcard(mask);
            for (const DirEntry& entry : fs_.folders_[path_]) {
                if (wildcard.matches(entry.name)) {
                    matching.push_back(entry);
                }
            }
        }
        return std::make_unique<VectorListing>(std::move(matching));
    }
    std::unique_ptr<Folder> openBelow(const std::string& relative) override {
        return std::make_unique<FakeFolder>(fs_, relative == "." ? path_ : path_ + "/" + relative);
    }
    // The fake's files hold nothing a search could find.
    std::unique_ptr<InputFile> openFile(const std::string&, const std::string&, InputFile::Listed) override {
        return std::make_unique<InputFile>("/dev/null");
    }

  private:
    FakeFileSystem& fs_;
    std::string path_;
    int error_ = 0;
};

void FakeFileSystem::add(const std::string& folder, const std::vector<std::string>& entries) {
    auto& listing = folders_[folder];
    for (const std::string& name : entries) {
        DirEntry entry;
        const bool directory = !name.empty() && name.back() == '/';
        entry.type = directory ? DirEntry::Type::Folder : DirEntry::Type::File;
        entry.name = directory ? name.substr(0, name.size() - 1) : name;
        entry.hidden = entry.name.size() > 1 && entry.name[0] == '.' && entry.name != "..";
        listing.push_back(entry);
    }
}

std::unique_ptr<Folder> FakeFileSystem::openFolder(const std::string& path) {
    return std::make_unique<FakeFolder>(*this, path);
}
