#pragma once
// The desktop's services for documents, programs and addresses, behind a seam that tests replace. Paths are
// byte strings and reach the desktop's programs unchanged. Nothing here waits: outcomes arrive later on the
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
    // Starts `program` with `path` as its one argument, in the folder that holds `path`, and forgets it; a
    // failure to start is not told.
    virtual void startProgram(const std::string& program, const std::string& path) = 0;
    // Shows the file or folder selected in its folder in the desktop's file manager; where no file manager
    // answers, opens the folder that holds it. `done` gets false when neither could show anything.
    virtual void reveal(const std::string& path, std::function<void(bool shown)> done) = 0;

    static Shell& current();
    // Replaces the services (tests); nullptr puts the real ones back.
    static void install(Shell* replacement);
};

// How long Reveal waits for a file manager to answer before it opens the folder instead.
constexpr int kFileManagerTimeoutMs = 4000;

// The real services, opening through `opener` (a program taking one path or address, as xdg-open does).
std::unique_ptr<Shell> makeDesktopShell(const std::string& opener = "xdg-open",
                                        int fileManagerTimeoutMs = kFileManagerTimeoutMs);

// What the opener is given: an address ("scheme://...") as it is, any path made absolute from the process's
// current folder, so that no argument can begin with "-" and be read as an option.
std::string openerArgument(const std::string& pathOrUrl);

// The folder that holds an entry: the path up to and including its last "/".
std::string holdingFolder(const std::string& path);

// The "file://" address of an absolute path, every byte but the unreserved ones and "/" percent-encoded, so
// a name that is not valid UTF-8 keeps its bytes.
std::string fileUri(const std::string& absolutePath);

// The file address of an entry as Reveal hands it to the file manager: the path made absolute as the
// opener's argument is, then as fileUri.
std::string entryUri(const std::string& path);
