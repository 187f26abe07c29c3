#include "platform/files/FileError.h"

#include <cstring>

namespace {

std::string describe(const std::string& action, const std::string& path, int errorNumber) {
    return action + " \"" + path + "\": " + std::strerror(errorNumber);
}

}  // namespace

FileError::FileError(const std::string& action, const std::string& path, int errorNumber)
    : std::runtime_error(describe(action, path, errorNumber)), path_(path), errorNumber_(errorNumber) {}
