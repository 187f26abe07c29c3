#pragma once
// What the actions on a result line do with it, without widgets: which side View sends it to, the path the
// viewers and the shell are given, and the actions' messages.

#include <QString>
#include <string>

// View sends a folder nowhere (it only tells), a file with one of the seven picture extensions to the picture
// side and any other file to the text side. Whether the file exists is not asked.
enum class ViewSide { Folder, Picture, Text };
ViewSide viewSideOf(const std::string& path);

// The result line as the absolute path of its entry. `runFrom` is the folder that was current when the run
// that wrote the line began: the lines of a relative start folder are reached from it.
std::string resultPath(const std::string& runFrom, const std::string& line);

QString folderViewMessage(const std::string& path);
extern const QString kFolderChosenMessage;
extern const QString kCannotOpenMessage;
