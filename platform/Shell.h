#pragma once
// The desktop's services for documents and addresses, behind a seam that tests replace. Paths are byte
// strings and reach the desktop's programs unchanged. Nothing here waits: outcomes arrive later on the
// user-interface thread.

#include <functional>
#include <memory>
#include <string>

class Shell {
  public:
    virtual ~Shell() = default;

    // Opens a file or folder with the program the desktop associates with it, or an address ("https://...")
    // with the browser. `done` gets false when the opener cannot be started or ends with a non-zero code.
    virtual void openWithDefault(const std::string& pathOrUrl, std::function<void(bool ok)> done) = 0;

    static Shell& current();
    // Replaces the services (tests); nullptr puts the real ones back.
    static void install(Shell* replacement);
};

// The real services, opening through `opener` (a program taking one path or address, as xdg-open does).
std::unique_ptr<Shell> makeDesktopShell(const std::string& opener = "xdg-open");

// What the opener is given: an address ("scheme://...") as it is, any path made absolute from the process's
// current folder, so that no argument can begin with "-" and be read as an option.
std::string openerArgument(const std::string& pathOrUrl);
