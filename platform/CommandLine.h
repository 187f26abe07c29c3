#pragma once
// The program's arguments as the bytes the system gave. Qt hands arguments over as text, and a path that is
// not valid UTF-8 cannot come back from it, so main() keeps the bytes and the windows ask for them here.

#include <QStringList>
#include <string>

// Keeps the arguments after the program's name; main() calls it once.
void keepArgumentBytes(int argc, char** argv);

// The bytes of arguments[index]: the kept bytes when they are what that text was decoded from, otherwise the
// text as UTF-8 (arguments that did not come from the command line, as in tests).
std::string argumentBytes(const QStringList& arguments, int index);
