#pragma once
// A typed search text compiled once into the byte forms it is looked for in. The search run and the file
// viewer's search both look for one of these.

#include <QString>
#include <vector>

#include "matching/TextForms.h"
#include "matching/TextScanner.h"

class SearchText {
  public:
    // The forms of `typed` in the encodings given, each without regard to case. An encoding that lacks one of
    // the text's characters gives no form; forms with the same bytes are looked for once.
    SearchText(const QString& typed, std::vector<TextEncoding> encodings);

    // The encodings of the run's content test: without "DOS" Windows-1251, UTF-8 and UTF-16LE; with "DOS"
    // code page 866 alone.
    static std::vector<TextEncoding> contentEncodings(bool dos);

    const QString& typed() const { return typed_; }
    const std::vector<TextEncoding>& encodings() const { return encodings_; }
    // Whether any form can be looked for; an empty text, or one whose characters no encoding given has, has
    // none and is found nowhere.
    bool findable() const { return !scanner_.empty(); }
    const TextScanner& scanner() const { return scanner_; }

    // The same typed text in the same encodings.
    bool operator==(const SearchText& other) const {
        return typed_ == other.typed_ && encodings_ == other.encodings_;
    }
    bool operator!=(const SearchText& other) const { return !(*this == other); }

  private:
    QString typed_;
    std::vector<TextEncoding> encodings_;
    TextScanner scanner_;
};
