#pragma once
// Creates the program's windows, hidden, in their fixed order, and sets their globals.

#include <QStringList>

// `arguments` are the program's arguments after its name.
void createForms(const QStringList& arguments);

// The same in two steps, so the search window is on the screen sooner: first the search window and the
// settings window it loads the settings into, then, once the search window is up, the viewers, the folder
// chooser and the About box, which nothing shows before the user asks for them.
void createSearchForms();
void createOtherForms(const QStringList& arguments);
