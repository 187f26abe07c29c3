#pragma once
// A small reader of RTF text, fed piece by piece. \'hh is decoded by the code page of the current font
// (\cpg or \fcharset in the font table) or of the document (\ansicpg); \uN is read with its \ucN fallback
// skipped. \par, \sect, \page, \cell and \row end a block, \line and \tab are a line end and a tab inside it.
// Groups that hold no text (font, colour and style tables, \info, pictures, objects, {\*...} destinations)
// are skipped; footnotes, headers, footers, annotations and text boxes are blocks of their own; field
// results are read in place and field instructions skipped.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "documents/BlockCollector.h"
#include "documents/rtf/RtfWords.h"

class RtfReader {
  public:
    explicit RtfReader(std::vector<std::string>& blocks) : blocks_(blocks, budget_) {}
    // Throws DocumentUnreadable when groups nest deeper than any document's.
    void feed(const char* data, std::size_t size);
    // The text has ended (the last group closed or the file ended).
    void finish();

  private:
    enum class State { BeforeDocument, Text, Escape, Word, Parameter, Hex, Binary, Done };
    struct Group {
        bool skip = false;       // a group that holds no text
        bool fontTable = false;  // inside \fonttbl: its fonts' code pages are read
        bool story = false;      // a footnote, header, annotation... that opened a block of its own
        int fallback = 1;        // \uc: characters after \uN that stand for it in older readers
        int font = -1;           // \f, or -1 for the document's default font
    };
    struct Font {
        int charset = -1;
        int codePage = 0;
    };

    void take(unsigned char byte);
    void text(unsigned char byte);
    void openGroup();
    void closeGroup();
    void endWord();
    void controlWord(std::string_view word, bool hasParameter, int parameter);
    void readFontTableWord(Group& group, RtfWord kind, bool starred, int parameter);
    void controlSymbol(unsigned char symbol);
    bool writing() const;
    void put(char32_t ch);
    void putUnicode(int parameter);
    int codePage() const;

    TextBudget budget_;  // before the collector that spends it
    BlockCollector blocks_;
    State state_ = State::BeforeDocument;
    std::vector<Group> groups_;
    std::map<int, Font> fonts_;
    int definedFont_ = -1;
    int defaultFont_ = -1;
    int documentCodePage_ = 1252;
    bool starred_ = false;  // \* came first in the group: an unknown destination is skipped
    int fallbackLeft_ = 0;  // fallback characters of the last \uN still to skip
    char16_t highSurrogate_ = 0;
    std::string word_;
    bool negative_ = false;
    bool hasParameter_ = false;
    std::int64_t parameter_ = 0;
    int parameterDigits_ = 0;
    int hexDigits_ = 0;
    int hexValue_ = 0;
    std::uint64_t binaryLeft_ = 0;
};
