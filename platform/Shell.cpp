#include "platform/Shell.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>

#include "platform/ChildProcess.h"

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

std::string currentFolder() {
    std::string buffer(PATH_MAX, '\0');
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) {
            return ".";  // still a path that cannot read as an option
        }
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(buffer.find('\0'));
    return buffer;
}

class DesktopShell : public Shell {
  public:
    explicit DesktopShell(std::string opener) : opener_(std::move(opener)) {}

    void openWithDefault(const std::string& pathOrUrl, std::function<void(bool ok)> done) override {
        startWatched({opener_, openerArgument(pathOrUrl)}, std::move(done));
    }

  private:
    std::string opener_;
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
    if (pathOrUrl.empty()) {
        return folder;
    }
    return folder == "/" ? "/" + pathOrUrl : folder + "/" + pathOrUrl;
}

std::unique_ptr<Shell> makeDesktopShell(const std::string& opener) {
    return std::make_unique<DesktopShell>(opener);
}

Shell& Shell::current() {
    return installed != nullptr ? *installed : realShell();
}

void Shell::install(Shell* replacement) {
    installed = replacement;
}
