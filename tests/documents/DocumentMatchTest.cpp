// The matcher the content search and the viewer share, on blocks as the readers give them.
#include <gtest/gtest.h>

#include "documents/DocumentMatch.h"

namespace {

struct MatchCase {
    const char* typed;
    std::vector<std::string> blocks;
    std::string found;  // the block bytes the first match covers; empty when nothing matches
};

}  // namespace

TEST(DocumentMatch, BlanksSoftHyphensCaseAndBlocks) {
    const MatchCase cases[] = {
        {"аренды помещения", {"Договор аренды  помещения № 17"}, "аренды  помещения"},
        {"аренды помещения", {"аренды\t\xC2\xA0\r\n помещения"}, "аренды\t\xC2\xA0\r\n помещения"},
        {"аренды   помещения", {"аренды помещения"}, "аренды помещения"},
        {"аренды помещения", {"арендыпомещения"}, ""},
        {"аренды помещения", {"Договор аренды", "помещения"}, ""},  // a blank never joins two blocks
        {"аренды",
         {"арен\xC2\xAD"
          "ды"},
         "арен\xC2\xAD"
         "ды"},
        {"арен\u00ADды", {"аренды"}, "аренды"},
        {"ДОГОВОР Straße", {"договор STRASSE", "Договор straße"}, "Договор straße"},
        {"ёлка", {"елка"}, ""},
        {"ЁЛКА", {"у ёлки", "ёлка"}, "ёлка"},
        {"\u00AD", {"\xC2\xAD"}, ""},
        {"abc",
         {"x\xFF"
          "abc"},
         "abc"},
    };
    for (const MatchCase& c : cases) {
        SCOPED_TRACE(c.typed);
        const DocumentQuery query(QString::fromUtf8(c.typed));
        DocumentText text;
        text.status = DocumentText::Status::Read;
        text.blocks = c.blocks;
        EXPECT_EQ(query.foundIn(text), !c.found.empty());
        std::string found;
        for (const std::string& block : c.blocks) {
            if (const std::optional<BlockMatch> match = query.findIn(block, 0)) {
                found = block.substr(match->begin, match->end - match->begin);
                break;
            }
        }
        EXPECT_EQ(found, c.found);
    }
}
