#pragma once
// Requests to end the program from outside: SIGTERM when the session ends, SIGINT from Ctrl+C in a terminal,
// SIGHUP when the terminal goes away. Each becomes a call on the user-interface thread, so the program ends
// the way its window would, settings saved.

#include <functional>

// Catches the three signals from now on; one caught before the action is set waits for it.
void catchTerminationRequests();

// Runs `action` from the event loop for the requests caught so far and to come. Needs the application object.
void onTerminationRequest(std::function<void()> action);
