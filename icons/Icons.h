#pragma once
// The program's own small pictures, drawn in code so they stay sharp and need no files.

#include <QIcon>
#include <QPixmap>

QPixmap folderPicture();      // "Выбрать папку", and a closed folder in the chooser
QPixmap openFolderPicture();  // an open folder in the chooser
QPixmap viewerPicture();      // show or hide the last viewer
QPixmap exitPicture();        // close the file viewer
QPixmap wrapLinesPicture();   // wrap long lines in the file viewer
QPixmap readingPicture();     // switch the file viewer's reading
QIcon applicationIcon();      // the window's and the program's icon
