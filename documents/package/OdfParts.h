#pragma once
// The text of OpenDocument's content.xml and styles.xml (where headers and footers live): a block per text:p
// and text:h, wherever they stand (cells, frames, notes, annotations, slides); text:s, text:tab and
// text:line-break become blanks, tabs and line ends; tracked changes (the deleted text) and the marks of
// notes are skipped. Only character data of elements in the text namespace counts, so an annotation's author
// and date do not.

#include <string>
#include <vector>

#include "documents/BlockCollector.h"
#include "documents/xml/XmlPart.h"

class OdfTextHandler : public XmlTokenHandler {
  public:
    // Sheet names (table:table's table:name) go to `tableNames`, wanted for spreadsheets only.
    OdfTextHandler(std::vector<std::string>& blocks, std::vector<std::string>& tableNames, TextBudget& budget)
        : blocks_(blocks, budget), budget_(budget), tableNames_(tableNames) {}
    void startElement(const QXmlStreamReader& reader) override;
    void endElement(const QXmlStreamReader& reader) override;
    void characters(QStringView text) override;

  private:
    BlockCollector blocks_;
    TextBudget& budget_;
    std::vector<std::string>& tableNames_;
    std::vector<unsigned char> open_;  // per open element: 1 for a text:p or text:h, 2 other text, 0 the rest
    int skipping_ = 0;
};
