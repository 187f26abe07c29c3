#include "settings/SettingsLocation.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/files/ProgramFolder.h"

namespace {

const char* const kFileName = "fs.ini";

bool namesFile(const std::string& path) {
    struct stat found {};
    return stat(path.c_str(), &found) == 0 && !S_ISDIR(found.st_mode);
}

// Asked for the effective user, who is the one that would write; a new file needs the folder's write and
// search rights.
bool mayWrite(const std::string& folder) {
    return faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

std::string homeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home != '\0') {
        return home;
    }
    const passwd* user = getpwuid(geteuid());
    return user != nullptr ? user->pw_dir : "";
}

std::string configurationFolder() {
    const char* configured = std::getenv("XDG_CONFIG_HOME");
    std::string folder =
        configured != nullptr && configured[0] == '/' ? configured : homeFolder() + "/.config";
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

// Packages install under /usr; such a folder is shared by every user, root may write it, and it outlives the
// package if something is left in it.
bool installedByPackage(const std::string& folder) {
    return folder.rfind("/usr/", 0) == 0;
}

}  // namespace

std::string settingsFilePath() {
    const std::string folder = programFolder();
    const std::string beside = folder + kFileName;
    if (!installedByPackage(folder) && (namesFile(beside) || mayWrite(folder))) {
        return beside;
    }
    return configurationFolder() + "/varnel/" + kFileName;
}
