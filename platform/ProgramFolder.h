#pragma once
// The folder of the running executable, where "fs.ini" and "help.chm" live; never the current folder.

#include <string>

// The program folder as bytes, with its trailing "/".
std::string programFolder();
