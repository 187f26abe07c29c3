#pragma once
// The folder of the running executable, where "fs.ini" and "help.chm" live; never the current folder.

#include <string>

// The program folder as bytes, with its trailing "/".
std::string programFolder();

// Puts another folder (with its trailing "/") in the program folder's place, so tests work on files of their
// own; the empty text puts the real one back.
void replaceProgramFolder(const std::string& folder);
