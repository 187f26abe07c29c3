#pragma once
// Requests to end the program from outside: SIGTERM when the session ends, SIGINT from Ctrl+C in a terminal,
// SIGHUP when the terminal goes away. Each becomes a call on the user-interface thread, so the program ends
// the way its window would, settings saved.

#include <functional>

// Catches the three signals from now on and runs `action` for them from the event loop. Needs the application
// object; until it is called, the signals end the program at once.
void onTerminationRequest(std::function<void()> action);
