#pragma once
// Creates the program's windows, hidden, in their fixed order, and sets their globals.

#include <QStringList>

// `arguments` are the program's arguments after its name.
void createForms(const QStringList& arguments);
