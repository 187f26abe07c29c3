#pragma once
// Whether, and where, a file holds a text: the content test of the search run and the file viewer's search.

#include <cstdint>
#include <string>

// Turns the Cyrillic letters of a Windows-1251 text into their code page 866 codes; other codes pass
// unchanged.
std::string WinToDos(const std::string& text);

// Size of the regular file the path names (links followed); 0 for anything else.
std::uint64_t QueryFileSize(const std::string& path);

// Offset of the first place at or after `startOffset` where every byte of the file equals the upper or the
// lower Windows-1251 form of the text's byte at the same place; -1 when there is none, or when the path, the
// text or the file is empty, or the path names no regular file. A file that cannot be opened throws
// FileError. Events are pumped while it reads; a file that shrinks meanwhile is searched as far as it could
// be read.
std::int64_t SearchFile(const std::string& path, const std::string& text, std::uint64_t startOffset);
