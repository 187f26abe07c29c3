#pragma once
// Test doubles for the message boxes and the desktop shell: they keep what would have been shown or opened.

#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "platform/Messages.h"
#include "platform/Shell.h"

class RecordedMessages : public Messages {
  public:
    RecordedMessages() { Messages::install(this); }
    ~RecordedMessages() override { Messages::install(nullptr); }

    void information(const QString& text) override { shown.push_back(text); }
    void captioned(const QString& caption, const QString& text) override {
        shown.push_back(caption + ": " + text);
    }
    void error(const QString& text) override { shown.push_back(text); }

    std::vector<QString> shown;
};

class RecordedShell : public Shell {
  public:
    RecordedShell() { Shell::install(this); }
    ~RecordedShell() override { Shell::install(nullptr); }

    void openWithDefault(const std::string& pathOrUrl, std::function<void(bool ok)> done) override {
        opened.push_back(pathOrUrl);
        done(succeeds);
    }

    bool succeeds = true;
    std::vector<std::string> opened;
};
