#pragma once
// The folder list's row pictures, drawn in code: an open folder for the chain down to the current folder, a
// closed one for its subfolders.

#include <QPixmap>

QPixmap openFolderPicture();
QPixmap closedFolderPicture();
