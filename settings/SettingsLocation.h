#pragma once
// Where "fs.ini" lives. A program run from its build or unpacked folder, or a per-user install, keeps it
// beside the program, as does any program folder that already holds one; a program the user may not write,
// and any program under /usr (an installed package, even for root), keeps it in the user's configuration
// folder instead, so every user has settings of their own. Never the current folder.

#include <string>

// The program folder's "fs.ini" when the folder is not under /usr and a file of that name is there or the
// user may write that folder; otherwise "$XDG_CONFIG_HOME/varnel/fs.ini", or "$HOME/.config/varnel/fs.ini"
// when XDG_CONFIG_HOME is unset or not an absolute path.
std::string settingsFilePath();
