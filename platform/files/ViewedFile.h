#pragma once
// What the viewers do with the path they are asked to show, once it is looked at: a path that names no file,
// or names a folder, is an error with the file's name and the system's reason; a FIFO, socket or device is
// shown as an empty file and never opened.

#include <string>

#include "platform/files/InputFile.h"

// True when `file` (opened from `path`) is a regular file to read; false for one shown empty. Throws
// FileError.
bool isViewable(const InputFile& file, const std::string& path);
