#pragma once
// What the RTF reader makes of a control word: looked up once per word in one table, so a document of many
// thousands of words costs one hash each, not a compare against every word the reader knows.

#include <string_view>

enum class RtfWord {
    Other,              // a word the reader passes over
    Binary,             // \bin: raw bytes follow
    Font,               // \f
    FontCharset,        // \fcharset
    FontCodePage,       // \cpg
    FontTable,          // \fonttbl
    Skipped,            // a destination whose text is no part of what the document reads
    Story,              // a destination read on its own: footnote, header, footer, annotation, text box
    ShapeInstructions,  // \shpinst: starred, yet it holds a text box
    AnsiCodePage,       // \ansicpg
    DefaultFont,        // \deff
    Plain,              // \plain: back to the default font
    UnicodeFallback,    // \uc
    Unicode,            // \u
    BlockEnd,           // \par, \sect, \page, \cell, \row and their nested kin
    Character,          // a word that stands for one character (\line, \tab, \emdash...)
};

struct RtfWordMeaning {
    RtfWord kind = RtfWord::Other;
    char32_t character = 0;  // for RtfWord::Character
};

RtfWordMeaning meaningOf(std::string_view word);
