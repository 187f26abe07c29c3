#include "documents/package/PackageText.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <set>

#include "documents/ByteSource.h"
#include "documents/DocumentFailure.h"
#include "documents/package/CentralDirectory.h"
#include "documents/package/OdfParts.h"
#include "documents/package/OoxmlParts.h"
#include "documents/package/ZipArchive.h"

namespace {

constexpr std::size_t kMostMembers = 10'000;
constexpr std::size_t kLongestMimetype = 256;

enum class PackageKind { None, Word, Sheet, Slides, OpenDocument };

bool startsWith(const std::string& text, const char* prefix) {
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool endsWith(const std::string& text, const char* suffix) {
    const std::size_t length = std::strlen(suffix);
    return text.size() >= length && text.compare(text.size() - length, length, suffix) == 0;
}

// A member directly in `folder` whose name begins with `stem` and ends with `suffix`.
bool memberIn(const std::string& name, const std::string& folder, const char* stem, const char* suffix) {
    return startsWith(name, (folder + stem).c_str()) && endsWith(name, suffix) &&
           name.find('/', folder.size()) == std::string::npos;
}

PackageKind kindOf(const std::vector<std::string>& names) {
    const std::set<std::string> all(names.begin(), names.end());
    if (all.count("word/document.xml")) {
        return PackageKind::Word;
    }
    if (all.count("xl/workbook.xml")) {
        return PackageKind::Sheet;
    }
    if (all.count("ppt/presentation.xml")) {
        return PackageKind::Slides;
    }
    if (all.count("mimetype")) {
        return PackageKind::OpenDocument;
    }
    return PackageKind::None;
}

// The number in a member's name (slide12.xml gives 12), so members sort as their writer numbered them.
long memberNumber(const std::string& name) {
    const std::size_t end = name.find_last_of("0123456789");
    if (end == std::string::npos) {
        return 0;
    }
    std::size_t begin = end;
    while (begin > 0 && name[begin - 1] >= '0' && name[begin - 1] <= '9' && end - begin < 8) {
        --begin;
    }
    return std::stol(name.substr(begin, end - begin + 1));
}

// Where a relationship's target lies: relative to the folder of the part it belongs to, or from the root.
std::string resolveTarget(const std::string& partFolder, const std::string& target) {
    std::vector<std::string> parts;
    const std::string path = !target.empty() && target[0] == '/' ? target.substr(1) : partFolder + target;
    std::size_t at = 0;
    while (at <= path.size()) {
        const std::size_t slash = std::min(path.find('/', at), path.size());
        const std::string piece = path.substr(at, slash - at);
        if (piece == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!piece.empty() && piece != ".") {
            parts.push_back(piece);
        }
        at = slash + 1;
    }
    std::string resolved;
    for (const std::string& piece : parts) {
        resolved += (resolved.empty() ? "" : "/") + piece;
    }
    return resolved;
}

using Relationships = std::map<std::string, std::string>;  // id to resolved target

struct PackageParts {
    std::map<std::string, std::vector<std::string>> texts;  // member to its blocks
    std::map<std::string, Relationships> relationships;     // .rels member to its relationships
    std::vector<std::string> slideIds;                      // presentation.xml's slide list, relationship ids
    std::vector<std::string> tableNames;                    // an OpenDocument's sheet names
    std::string mimetype;
    TextBudget budget;  // the text, sheet names, slide list and relationships alike
};

class PackageReader {
  public:
    PackageReader(PackageKind kind, PackageParts& parts) : kind_(kind), parts_(parts) {}

    // The handler for a member that holds text, or none for a member that is not read.
    std::unique_ptr<XmlTokenHandler> handlerFor(const std::string& name) {
        const auto blocks = [this, &name]() -> std::vector<std::string>& { return parts_.texts[name]; };
        switch (kind_) {
            case PackageKind::Word:
                if (memberIn(name, "word/", "document", ".xml") ||
                    memberIn(name, "word/", "header", ".xml") || memberIn(name, "word/", "footer", ".xml") ||
                    name == "word/footnotes.xml" || name == "word/endnotes.xml" ||
                    name == "word/comments.xml") {
                    return std::make_unique<OoxmlTextHandler>(OoxmlPart::Story, blocks(), parts_.budget);
                }
                break;
            case PackageKind::Sheet:
                if (name == "xl/workbook.xml") {
                    return std::make_unique<ElementVisitor>([&sheets = blocks(), &budget = parts_.budget](
                                                                const QXmlStreamReader& reader) {
                        if (reader.name() == u"sheet") {
                            sheets.push_back(
                                reader.attributes().value(QLatin1String("name")).toString().toStdString());
                            budget.spendEntry(sheets.back());
                        }
                    });
                }
                if (name == "xl/sharedStrings.xml") {
                    return std::make_unique<OoxmlTextHandler>(OoxmlPart::SharedStrings, blocks(),
                                                              parts_.budget);
                }
                if (memberIn(name, "xl/worksheets/", "", ".xml")) {
                    return std::make_unique<OoxmlTextHandler>(OoxmlPart::Worksheet, blocks(), parts_.budget);
                }
                if (memberIn(name, "xl/", "comments", ".xml")) {
                    return std::make_unique<OoxmlTextHandler>(OoxmlPart::SheetComments, blocks(),
                                                              parts_.budget);
                }
                break;
            case PackageKind::Slides:
                if (memberIn(name, "ppt/slides/", "slide", ".xml") ||
                    memberIn(name, "ppt/notesSlides/", "notesSlide", ".xml")) {
                    return std::make_unique<OoxmlTextHandler>(OoxmlPart::Story, blocks(), parts_.budget);
                }
                if (name == "ppt/presentation.xml") {
                    return std::make_unique<ElementVisitor>([this](const QXmlStreamReader& reader) {
                        if (reader.name() != u"sldId") {
                            return;
                        }
                        for (const QXmlStreamAttribute& attribute : reader.attributes()) {
                            if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty()) {
                                parts_.slideIds.push_back(attribute.value().toString().toStdString());
                                parts_.budget.spendEntry(parts_.slideIds.back());
                            }
                        }
                    });
                }
                if (name == "ppt/_rels/presentation.xml.rels" ||
                    memberIn(name, "ppt/slides/_rels/", "slide", ".rels")) {
                    return relationshipsOf(name);
                }
                break;
            case PackageKind::OpenDocument:
                if (name == "content.xml" || name == "styles.xml") {
                    return std::make_unique<OdfTextHandler>(blocks(), parts_.tableNames, parts_.budget);
                }
                break;
            case PackageKind::None:
                break;
        }
        return nullptr;
    }

  private:
    // A .rels member lists the relationships of the part named without "_rels/" and ".rels".
    std::unique_ptr<XmlTokenHandler> relationshipsOf(const std::string& name) {
        const std::size_t rels = name.rfind("_rels/");
        const std::string partFolder = name.substr(0, rels);
        Relationships& relationships = parts_.relationships[name];
        return std::make_unique<ElementVisitor>(
            [&relationships, &budget = parts_.budget, partFolder](const QXmlStreamReader& reader) {
                if (reader.name() == u"Relationship") {
                    const QXmlStreamAttributes attributes = reader.attributes();
                    const std::string id = attributes.value(QLatin1String("Id")).toString().toStdString();
                    std::string& target = relationships[id];
                    target = resolveTarget(
                        partFolder, attributes.value(QLatin1String("Target")).toString().toStdString());
                    budget.spendEntry(id);
                    budget.spendEntry(target);
                }
            });
    }

    PackageKind kind_;
    PackageParts& parts_;
};

void moveBlocks(std::vector<std::string>& from, std::vector<std::string>& to) {
    std::move(from.begin(), from.end(), std::back_inserter(to));
    from.clear();
}

// Members whose names pass `wanted`, in the order of their numbers.
std::vector<std::string> membersInOrder(const PackageParts& parts,
                                        const std::function<bool(const std::string&)>& wanted) {
    std::vector<std::string> names;
    for (const auto& [name, blocks] : parts.texts) {
        if (wanted(name)) {
            names.push_back(name);
        }
    }
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return memberNumber(a) < memberNumber(b);
    });
    return names;
}

// The presentation's slides in its own order, each followed by its speaker notes; slides it does not list
// come last, so no text is lost to a damaged list.
std::vector<std::string> slidesInOrder(PackageParts& parts) {
    std::vector<std::string> order;
    const Relationships& presentation = parts.relationships["ppt/_rels/presentation.xml.rels"];
    for (const std::string& id : parts.slideIds) {
        const auto target = presentation.find(id);
        if (target != presentation.end() && parts.texts.count(target->second) &&
            std::find(order.begin(), order.end(), target->second) == order.end()) {
            order.push_back(target->second);
        }
    }
    for (const std::string& slide :
         membersInOrder(parts, [](const std::string& name) { return startsWith(name, "ppt/slides/"); })) {
        if (std::find(order.begin(), order.end(), slide) == order.end()) {
            order.push_back(slide);
        }
    }
    std::vector<std::string> withNotes;
    for (const std::string& slide : order) {
        withNotes.push_back(slide);
        const std::string rels = "ppt/slides/_rels/" + slide.substr(std::strlen("ppt/slides/")) + ".rels";
        for (const auto& [id, target] : parts.relationships[rels]) {
            if (startsWith(target, "ppt/notesSlides/")) {
                withNotes.push_back(target);
            }
        }
    }
    return withNotes;
}

// The blocks of every part in reading order: the body before headers and notes, sheet names before strings.
std::vector<std::string> assemble(PackageKind kind, PackageParts& parts) {
    std::vector<std::string> order;
    const auto addGroup = [&](const char* prefix) {
        for (const std::string& name : membersInOrder(
                 parts, [prefix](const std::string& member) { return startsWith(member, prefix); })) {
            order.push_back(name);
        }
    };
    switch (kind) {
        case PackageKind::Word:
            for (const char* prefix : {"word/document", "word/header", "word/footer", "word/footnotes",
                                       "word/endnotes", "word/comments"}) {
                addGroup(prefix);
            }
            break;
        case PackageKind::Sheet:
            for (const char* prefix : {"xl/workbook", "xl/sharedStrings", "xl/worksheets/", "xl/comments"}) {
                addGroup(prefix);
            }
            break;
        case PackageKind::Slides:
            order = slidesInOrder(parts);
            break;
        case PackageKind::OpenDocument:
            order = {"content.xml", "styles.xml"};
            break;
        case PackageKind::None:
            break;
    }
    std::vector<std::string> blocks;
    if (kind == PackageKind::OpenDocument &&
        startsWith(parts.mimetype, "application/vnd.oasis.opendocument.spreadsheet")) {
        moveBlocks(parts.tableNames, blocks);
    }
    for (const std::string& name : order) {
        moveBlocks(parts.texts[name], blocks);
    }
    return blocks;
}

bool isOpenDocument(const std::string& mimetype) {
    for (const char* type : {"text", "spreadsheet", "presentation"}) {
        if (startsWith(mimetype, (std::string("application/vnd.oasis.opendocument.") + type).c_str())) {
            return true;
        }
    }
    return false;
}

// Office suites write "[Content_Types].xml" or "mimetype" as the first member: a zip that begins so but whose
// directory cannot be read is taken for a damaged document.
bool beginsAsDocument(const ByteSource& bytes) {
    unsigned char header[30 + 19];
    const std::size_t got = bytes.readAt(header, sizeof header, 0);
    if (got < 30) {
        return false;
    }
    const std::size_t nameLength = header[26] | (header[27] << 8);
    const std::string name(reinterpret_cast<const char*>(header + 30), std::min(got - 30, nameLength));
    return name == "[Content_Types].xml" || name == "mimetype";
}

}  // namespace

DocumentText readPackageText(const ByteSource& bytes, const DocumentCancel& cancelled) {
    DocumentText text;
    const std::optional<MemberList> members = listZipMembers(bytes, kMostMembers);
    if (!members) {
        if (beginsAsDocument(bytes)) {
            throw DocumentUnreadable("архив повреждён");
        }
        return text;
    }
    const PackageKind kind = kindOf(members->names);
    if (kind == PackageKind::None) {
        return text;
    }
    if (members->overLimit) {
        throw DocumentUnreadable("в архиве больше 10 000 файлов");
    }
    PackageParts parts;
    PackageReader reader(kind, parts);
    ZipArchive zip(bytes, InflateLimits{});
    while (zip.nextMember()) {
        const std::string name = zip.memberName();
        if (kind == PackageKind::OpenDocument && name == "mimetype") {
            zip.readMember(
                [&parts](const char* data, std::size_t size) {
                    parts.mimetype.append(data, std::min(size, kLongestMimetype - parts.mimetype.size()));
                },
                cancelled);
            if (!isOpenDocument(parts.mimetype)) {
                return text;  // an e-book or another zip that names its type the same way
            }
            continue;
        }
        std::unique_ptr<XmlTokenHandler> handler = reader.handlerFor(name);
        if (!handler) {
            continue;
        }
        XmlPart xml(*handler);
        zip.readMember([&xml](const char* data, std::size_t size) { xml.feed(data, size); }, cancelled);
        xml.finish();
    }
    if (kind == PackageKind::OpenDocument && !isOpenDocument(parts.mimetype)) {
        return text;
    }
    text.blocks = assemble(kind, parts);
    text.status = DocumentText::Status::Read;
    return text;
}
