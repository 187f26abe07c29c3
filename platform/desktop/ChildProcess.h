#pragma once
// Programs the desktop services start: no shell and no word splitting, every argument handed over as the
// exact bytes it holds, so a file name that is not valid UTF-8 reaches the program unchanged.

#include <functional>
#include <string>
#include <vector>

// Starts `command[0]` (looked up in PATH when it holds no "/") with the rest of `command` as its arguments
// and returns at once. `finished` is called later on the user-interface thread: true when the program ran and
// exited with code 0, false when it could not be started, exited with another code or was killed.
void startWatched(const std::vector<std::string>& command, std::function<void(bool succeeded)> finished);

// Starts `command[0]` (looked up in PATH when it holds no "/") with the rest of `command` as its arguments,
// in the folder `workingFolder` (in ours when that cannot be entered), and forgets it: the program is not
// waited for, outlives nothing of ours, and a failure to start it is not told.
void startDetached(const std::vector<std::string>& command, const std::string& workingFolder);
