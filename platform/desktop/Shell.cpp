#include "platform/desktop/Shell.h"

#include <cctype>

#include "platform/desktop/ChildProcess.h"
#include "platform/desktop/FileManager.h"
#include "platform/files/CurrentFolder.h"

namespace {

bool isAddress(const std::string& text) {
    const std::size_t separator = text.find("://");
    if (separator == std::string::npos || separator == 0 ||
        std::isalpha(static_cast<unsigned char>(text[0])) == 0) {
        return false;
    }
    for (std::size_t i = 1; i < separator; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (std::isalnum(c) == 0 && c != '+' && c != '-' && c != '.') {
            return false;
        }
    }
    return true;
}

class DesktopShell : public Shell {
  public:
    DesktopShell(std::string opener, int fileManagerTimeoutMs)
        : opener_(std::move(opener)), fileManagerTimeoutMs_(fileManagerTimeoutMs) {}

    void openWithDefault(const std::string& pathOrUrl, std::function<void(bool ok)> done) override {
        startWatched({opener_, openerArgument(pathOrUrl)}, std::move(done));
    }

    void startProgram(const std::string& program, const std::string& path) override {
        startDetached({program, path}, holdingFolder(path));
    }

    void reveal(const std::string& path, std::function<void(bool shown)> done) override {
        showInFileManager(entryUri(path), fileManagerTimeoutMs_,
                          [opener = opener_, folder = holdingFolder(openerArgument(path)),
                           done = std::move(done)](bool answered) mutable {
                              if (answered) {
                                  done(true);
                              } else {
                                  startWatched({opener, folder}, std::move(done));
                              }
                          });
    }

  private:
    std::string opener_;
    int fileManagerTimeoutMs_;
};

Shell& realShell() {
    static const std::unique_ptr<Shell> instance = makeDesktopShell();
    return *instance;
}

Shell* installed = nullptr;

}  // namespace

std::string openerArgument(const std::string& pathOrUrl) {
    if (isAddress(pathOrUrl) || (!pathOrUrl.empty() && pathOrUrl[0] == '/')) {
        return pathOrUrl;
    }
    const std::string folder = currentFolder();
    // "./name", as the result lines of a relative search are reached, joins as "name".
    const std::string relative = pathOrUrl.compare(0, 2, "./") == 0 ? pathOrUrl.substr(2) : pathOrUrl;
    if (relative.empty()) {
        return folder;
    }
    return folder == "/" ? "/" + relative : folder + "/" + relative;
}

std::string holdingFolder(const std::string& path) {
    return path.substr(0, path.rfind('/') + 1);
}

std::string fileUri(const std::string& absolutePath) {
    static const char hex[] = "0123456789ABCDEF";
    std::string uri = "file://";
    for (const char c : absolutePath) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 && byte < 0x80) {
            uri.push_back(c);
        } else if (c == '/' || c == '-' || c == '.' || c == '_' || c == '~') {
            uri.push_back(c);
        } else {
            uri.push_back('%');
            uri.push_back(hex[byte >> 4]);
            uri.push_back(hex[byte & 0x0F]);
        }
    }
    return uri;
}

std::string entryUri(const std::string& path) {
    return fileUri(openerArgument(path));
}

std::unique_ptr<Shell> makeDesktopShell(const std::string& opener, int fileManagerTimeoutMs) {
    return std::make_unique<DesktopShell>(opener, fileManagerTimeoutMs);
}

Shell& Shell::current() {
    return installed != nullptr ? *installed : realShell();
}

void Shell::install(Shell* replacement) {
    installed = replacement;
}
