#pragma once
// The program's command line. Options come before "--" and are "--help" and "--version"; every other argument
// is the file to view and the text to look for in it, whatever it looks like. Qt hands arguments over as
// text, and a path that is not valid UTF-8 cannot come back from it, so the bytes are kept and the windows
// ask for them here.

#include <QStringList>
#include <string>
#include <vector>

struct CommandLineRequest {
    enum class Action { Run, Usage, Version };
    // The first option given decides; without one the program runs.
    Action action = Action::Run;
    // How many of argv's first entries, the program's name included, go to the toolkit, which takes its own
    // options ("-platform NAME" and the like) out of them: those before "--".
    int toolkitCount = 0;
    // The arguments after "--", the program's own whatever they look like.
    std::vector<std::string> afterOptions;
};

CommandLineRequest readCommandLine(int argc, char** argv);

// Keeps the bytes of the arguments after the program's name and returns them as text; main() calls it once.
QStringList keepArguments(const std::vector<std::string>& bytes);

// The bytes of arguments[index]: the kept bytes when they are what that text was decoded from, otherwise the
// text as UTF-8 (arguments that did not come from the command line, as in tests).
std::string argumentBytes(const QStringList& arguments, int index);
