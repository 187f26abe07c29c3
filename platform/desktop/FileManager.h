#pragma once
// The desktop's file manager, reached on the session bus through the org.freedesktop.FileManager1 interface.

#include <functional>
#include <string>

// Asks the file manager to show `uri` selected in its folder. `answered` is called later on the
// user-interface thread: false when there is no session bus, no file manager owns the name, it refuses, or
// it gives no answer within `timeoutMs`.
void showInFileManager(const std::string& uri, int timeoutMs, std::function<void(bool answered)> answered);
