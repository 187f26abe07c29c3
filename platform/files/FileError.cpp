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
    : FileError(action, path, std::string(std::strerror(errorNumber))) {
    errorNumber_ = errorNumber;
}

FileError::FileError(const std::string& action, const std::string& path, const std::string& reason)
    : std::runtime_error(describe<std::string>(action, path, reason)),
      action_(action),
      path_(path),
      reason_(reason),
      errorNumber_(0) {}

// The system's reasons come in the user's language, in the locale's encoding (UTF-8 wherever Qt runs).
QString FileError::shownText() const {
    return describe(QString::fromUtf8(action_), shownName(path_), QString::fromLocal8Bit(reason_));
}
