#include "platform/files/ProgramFolder.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <climits>

namespace {

std::string replacement;

}  // namespace

// The link is read as bytes, so a program folder whose name is not valid UTF-8 is still found.
std::string programFolder() {
    if (!replacement.empty()) {
        return replacement;
    }
    std::string target(PATH_MAX, '\0');
    const ssize_t length = readlink("/proc/self/exe", target.data(), target.size());
    if (length > 0 && static_cast<std::size_t>(length) < target.size()) {
        target.resize(static_cast<std::size_t>(length));
        return target.substr(0, target.rfind('/') + 1);
    }
    return QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString() + "/";
}

void replaceProgramFolder(const std::string& folder) {
    replacement = folder;
}
