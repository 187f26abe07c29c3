#include "FakeFileSystem.h"

#include "platform/Wildcard.h"

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

void FakeFileSystem::add(const std::string& folder, const std::vector<std::string>& entries) {
    auto& listing = folders_[folder];
    for (const std::string& name : entries) {
        DirEntry entry;
        entry.directory = !name.empty() && name.back() == '/';
        entry.name = entry.directory ? name.substr(0, name.size() - 1) : name;
        entry.hidden = entry.name.size() > 1 && entry.name[0] == '.' && entry.name != "..";
        listing.push_back(entry);
    }
}

std::unique_ptr<DirListing> FakeFileSystem::list(const std::string& folder, const std::string& mask) {
    listed.push_back(folder + " " + mask);
    std::vector<DirEntry> matching;
    const auto found = folders_.find(folder);
    if (found != folders_.end()) {
        const WildcardMask wildcard(mask);
        for (const DirEntry& entry : found->second) {
            if (wildcard.matches(entry.name)) {
                matching.push_back(entry);
            }
        }
    }
    return std::make_unique<VectorListing>(std::move(matching));
}
