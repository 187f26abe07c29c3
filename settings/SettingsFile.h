#pragma once
// The settings file "fs.ini" (its place: SettingsLocation.h): the external text viewer's path on its first
// line and the graphics viewer's on its second, each ended by CR LF, as bytes; nothing else.

#include <functional>
#include <string>

enum class ViewerRow { Text, Graphics };

// Reads the first two lines of `file` (a line ends at LF or CR LF; a missing line reads as empty; later lines
// are ignored) and hands each line that names an existing file, not a folder, to `load`. A missing file, or
// one that is not a regular file (a FIFO, a device), is never opened and loads nothing. Throws FileError when
// the file cannot be opened or read; a row handed over before that stays handed over.
void loadViewerPaths(const std::string& file, const std::function<void(ViewerRow, const std::string&)>& load);

// Unless `file` already holds the two paths (a missing file holds two empty ones), writes them, each followed
// by CR LF, to a new file beside `file`, flushes it to the disk and renames it over `file`, so a save that
// fails leaves the previous file whole. The folders above `file` are created when missing. Throws FileError
// naming `file`.
void saveViewerPaths(const std::string& file, const std::string& textViewer,
                     const std::string& graphicsViewer);
