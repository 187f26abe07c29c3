#include "documents/rtf/RtfWords.h"

#include <initializer_list>
#include <unordered_map>

namespace {

using Table = std::unordered_map<std::string_view, RtfWordMeaning>;

void add(Table& table, RtfWord kind, std::initializer_list<std::string_view> words) {
    for (const std::string_view word : words) {
        table.emplace(word, RtfWordMeaning{kind, 0});
    }
}

Table makeTable() {
    Table table;
    add(table, RtfWord::Binary, {"bin"});
    add(table, RtfWord::Font, {"f"});
    add(table, RtfWord::FontCharset, {"fcharset"});
    add(table, RtfWord::FontCodePage, {"cpg"});
    add(table, RtfWord::FontTable, {"fonttbl"});
    add(table, RtfWord::Skipped,
        {"colortbl",
         "stylesheet",
         "info",
         "pict",
         "object",
         "listtable",
         "listoverridetable",
         "revtbl",
         "rsidtbl",
         "generator",
         "themedata",
         "colorschememapping",
         "datastore",
         "latentstyles",
         "xmlnsd",
         "filetbl",
         "pgdsctbl",
         "fldinst",
         "xe",
         "tc",
         "tcn",
         "bkmkstart",
         "bkmkend",
         "nonshppict",
         "shprslt",
         "sp",
         "pntxta",
         "pntxtb",
         "ftnsep",
         "ftnsepc",
         "aftnsep",
         "aftnsepc",
         "ftncn",
         "aftncn",
         "template",
         "userprops",
         "docvar",
         "upr",
         "falt",
         "panose",
         "mmathPr",
         "wgrffmtfilter",
         "pgptbl",
         "protusertbl",
         "objdata"});
    add(table, RtfWord::Story,
        {"footnote", "annotation", "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr",
         "footerf", "shptxt"});
    add(table, RtfWord::ShapeInstructions, {"shpinst"});
    add(table, RtfWord::AnsiCodePage, {"ansicpg"});
    add(table, RtfWord::DefaultFont, {"deff"});
    add(table, RtfWord::Plain, {"plain"});
    add(table, RtfWord::UnicodeFallback, {"uc"});
    add(table, RtfWord::Unicode, {"u"});
    add(table, RtfWord::BlockEnd, {"par", "sect", "page", "cell", "nestcell", "row", "nestrow"});
    const std::pair<std::string_view, char32_t> characters[] = {
        {"line", U'\n'},       {"tab", U'\t'},        {"emspace", U' '},        {"enspace", U' '},
        {"qmspace", U' '},     {"emdash", U'\u2014'}, {"endash", U'\u2013'},    {"bullet", U'\u2022'},
        {"lquote", U'\u2018'}, {"rquote", U'\u2019'}, {"ldblquote", U'\u201C'}, {"rdblquote", U'\u201D'}};
    for (const auto& [word, character] : characters) {
        table.emplace(word, RtfWordMeaning{RtfWord::Character, character});
    }
    return table;
}

}  // namespace

RtfWordMeaning meaningOf(std::string_view word) {
    static const Table table = makeTable();
    const auto found = table.find(word);
    return found == table.end() ? RtfWordMeaning{} : found->second;
}
