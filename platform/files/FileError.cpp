#include "platform/files/FileError.h"

#include <cstring>

#include "platform/text/ShownName.h"

namespace {

template <typename Text>
Text describe(const Text& action, const Text& path, const Text& reason) {
    return action + Text(" \"") + path + Text("\": ") + reason;
}

}  // namespace

FileError::FileError(const std::string& action, const std::string& path, int errorNumber)
    : std::runtime_error(describe<std::string>(action, path, std::strerror(errorNumber))),
      action_(action),
      path_(path),
      errorNumber_(errorNumber) {}

QString FileError::shownText() const {
    return describe(QString::fromUtf8(action_), shownName(path_),
                    QString::fromLocal8Bit(std::strerror(errorNumber_)));
}
