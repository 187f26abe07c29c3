#pragma once
// An unexpected failure on a file: it carries the file's name and the system's reason, and reaches the one
// top-level handler that shows it.

#include <QString>
#include <stdexcept>
#include <string>

class FileError : public std::runtime_error {
  public:
    // `action` says what failed, in the program's words ("Не удалось открыть файл"); `errorNumber` is errno.
    FileError(const std::string& action, const std::string& path, int errorNumber);

    const std::string& path() const { return path_; }
    int errorNumber() const { return errorNumber_; }
    // The text of what(), with the path shown as names are shown.
    QString shownText() const;

  private:
    std::string action_;
    std::string path_;
    int errorNumber_;
};
