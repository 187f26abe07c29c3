#include "chooser/FolderList.h"

#include <algorithm>

#include "chooser/SubfolderReader.h"
#include "platform/files/Wildcard.h"

namespace {

std::string childPath(const std::string& parent, const std::string& name) {
    return parent == "/" ? "/" + name : parent + "/" + name;
}

bool isHidden(const std::string& name) {
    return !name.empty() && name[0] == '.';
}

// Names compare by their case-folded characters; names that fold alike keep a fixed order by their bytes.
void sortWithoutCase(std::vector<std::string>& names) {
    std::vector<std::pair<std::u32string, std::string>> keyed;
    keyed.reserve(names.size());
    for (std::string& name : names) {
        keyed.emplace_back(foldedCharacters(name), std::move(name));
    }
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < names.size(); ++i) {
        names[i] = std::move(keyed[i].second);
    }
}

std::vector<std::string> componentsOf(const std::string& folder) {
    std::vector<std::string> components;
    std::size_t pos = 1;
    while (pos < folder.size()) {
        const std::size_t end = std::min(folder.find('/', pos), folder.size());
        components.push_back(folder.substr(pos, end - pos));
        pos = end + 1;
    }
    return components;
}

}  // namespace

std::string normalFolder(const std::string& folder) {
    std::string normal;
    for (const char c : folder) {
        if (c != '/' || normal.empty() || normal.back() != '/') {
            normal += c;
        }
    }
    if (normal.size() > 1 && normal.back() == '/') {
        normal.pop_back();
    }
    return normal.empty() ? "/" : normal;
}

void FolderList::enter(const std::string& folder) {
    const std::string target = normalFolder(folder);
    std::vector<std::string> names = reader_.read(target);
    names.erase(std::remove_if(names.begin(), names.end(), isHidden), names.end());
    sortWithoutCase(names);

    std::vector<FolderRow> rows;
    const std::vector<std::string> chain = componentsOf(target);
    rows.push_back({"/", "/", chain.empty() ? FolderRow::Kind::Current : FolderRow::Kind::Open, 0});
    std::string path = "/";
    for (std::size_t i = 0; i < chain.size(); ++i) {
        path = childPath(path, chain[i]);
        const bool last = i + 1 == chain.size();
        rows.push_back({path, chain[i], last ? FolderRow::Kind::Current : FolderRow::Kind::Open,
                        static_cast<int>(i + 1)});
    }
    const int childDepth = static_cast<int>(chain.size()) + 1;
    for (const std::string& name : names) {
        rows.push_back({childPath(target, name), name, FolderRow::Kind::Closed, childDepth});
    }
    current_ = target;
    rows_ = std::move(rows);
}
