#pragma once
// What the actions on a result line do with it, without widgets: which side View sends it to, the path the
// viewers and the shell are given, and the actions' messages.

#include <QString>
#include <string>

// View sends a folder nowhere (it only tells), a file with one of the seven picture extensions to the picture
// side and any other file to the text side. Whether the file exists is not asked.
enum class ViewSide { Folder, Picture, Text };
ViewSide viewSideOf(const std::string& path);

// The result line as a path that reaches the entry from the current folder. `typedStartFolder` is the start
// folder the run that wrote the line was given: after a relative one, the line is reached from the folder the
// run made current.
std::string resultPath(const std::string& typedStartFolder, const std::string& line);

QString folderViewMessage(const std::string& path);
extern const QString kFolderChosenMessage;
extern const QString kCannotOpenMessage;
