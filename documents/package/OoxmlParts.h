#pragma once
// The text of the Office Open XML parts, one handler per kind of part. Character data comes from text
// elements only (w:t, a:t, t), never from field codes or layout values; deleted text (tracked deletions, the
// old place of moved text), phonetic guides and mc:Fallback (the second copy of a text box) are skipped.

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "documents/BlockCollector.h"
#include "documents/xml/XmlPart.h"

enum class OoxmlPart {
    Story,  // paragraphs (w:p, a:p): the body, headers, footers, notes, comments, slides, speaker notes
    SharedStrings,  // a sheet string (si) per block
    Worksheet,      // inline strings and formula results kept as strings
    SheetComments,  // a cell comment per block
};

class OoxmlTextHandler : public XmlTokenHandler {
  public:
    OoxmlTextHandler(OoxmlPart part, std::vector<std::string>& blocks, TextBudget& budget)
        : part_(part), blocks_(blocks, budget) {}
    void startElement(const QXmlStreamReader& reader) override;
    void endElement(const QXmlStreamReader& reader) override;
    void characters(QStringView text) override;

  private:
    enum class Tag : unsigned char {
        Other,
        Block,
        Text,
        BlockText,
        Run,
        Cell,
        Tab,
        Break,
        NoBreakHyphen,
        SoftHyphen
    };
    Tag classify(const QXmlStreamReader& reader) const;

    OoxmlPart part_;
    BlockCollector blocks_;
    std::vector<Tag> open_;
    int skipping_ = 0;  // depth inside a skipped element
    bool stringCell_ = false;
};

// Calls `visit` for every element start: for the parts read for their attributes (sheet names, relationships,
// the slide list).
class ElementVisitor : public XmlTokenHandler {
  public:
    explicit ElementVisitor(std::function<void(const QXmlStreamReader&)> visit) : visit_(std::move(visit)) {}
    void startElement(const QXmlStreamReader& reader) override { visit_(reader); }
    void endElement(const QXmlStreamReader&) override {}
    void characters(QStringView) override {}

  private:
    std::function<void(const QXmlStreamReader&)> visit_;
};
