#pragma once
// The reading a file opens in: the one that shows the text it was found by, or the one its byte-order mark
// names, or the reading on display.

#include <QString>
#include <functional>
#include <optional>
#include <string>

#include "viewer/render/Reading.h"

// The text a file is viewed with (a content search's, or the command line's), and whether the search looked
// for it in code page 866.
struct TextToFind {
    QString text;
    bool dos = false;
};

// With a non-empty text: DOS when it was looked for in code page 866; otherwise the first of WIN, UTF-8 and
// UCODE whose form of the text the file holds, WIN when it holds none. Without one: UTF-8 for a file that
// begins with EF BB BF, UCODE for one that begins with FF FE, else `shown`. Each form is looked for with
// SearchFile, which pumps events and asks `goOn`; nothing when it answered no. Throws FileError when the file
// cannot be opened or read.
std::optional<Reading> openingReading(const std::string& path, const std::optional<TextToFind>& find,
                                      Reading shown, const std::function<bool()>& goOn);
