#pragma once
// An unexpected failure on a file: it carries the file's name and the reason (the system's, or the program's
// own for a file whose content cannot be used), and reaches the one top-level handler that shows it.

#include <QString>
#include <stdexcept>
#include <string>

class FileError : public std::runtime_error {
  public:
    // `action` says what failed, in the program's words ("Не удалось открыть файл"); `errorNumber` is errno.
    FileError(const std::string& action, const std::string& path, int errorNumber);
    // A failure of the file's content; `reason` says what is wrong with it in the program's words (UTF-8),
    // and errorNumber() is 0.
    FileError(const std::string& action, const std::string& path, const std::string& reason);

    const std::string& path() const { return path_; }
    int errorNumber() const { return errorNumber_; }
    // The text of what(), with the path shown as names are shown.
    QString shownText() const;

  private:
    std::string action_;
    std::string path_;
    std::string reason_;
    int errorNumber_;
};
