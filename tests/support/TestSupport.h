#pragma once
// Shared test fixtures: a recorder for message boxes, scoped replacement of the platform seams, and temporary
// folder trees on disk.

#include <unistd.h>

#include <QByteArray>
#include <QString>
#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/EventPump.h"
#include "platform/Messages.h"
#include "platform/desktop/Shell.h"

struct ShownMessage {
    enum Kind { Information, Captioned, Error, Question } kind;
    QString caption;
    QString text;
};

class RecordingMessages : public Messages {
  public:
    RecordingMessages() { Messages::install(this); }
    ~RecordingMessages() override { Messages::install(nullptr); }
    RecordingMessages(const RecordingMessages&) = delete;
    RecordingMessages& operator=(const RecordingMessages&) = delete;

    void information(const QString& text) override { shown.push_back({ShownMessage::Information, {}, text}); }
    void captioned(const QString& caption, const QString& text) override {
        shown.push_back({ShownMessage::Captioned, caption, text});
    }
    void error(const QString& text) override { shown.push_back({ShownMessage::Error, {}, text}); }
    bool question(const QString& text) override {
        shown.push_back({ShownMessage::Question, {}, text});
        return answer;
    }

    // The texts alone, in the order shown.
    std::vector<QString> texts() const {
        std::vector<QString> result;
        for (const ShownMessage& message : shown) {
            result.push_back(message.text);
        }
        return result;
    }

    std::vector<ShownMessage> shown;
    bool answer = false;  // to every question: "Да" when true
};

// Keeps what would have been opened, started and revealed; openings and reveals answer with `succeeds`.
class RecordedShell : public Shell {
  public:
    RecordedShell() { Shell::install(this); }
    ~RecordedShell() override { Shell::install(nullptr); }
    RecordedShell(const RecordedShell&) = delete;
    RecordedShell& operator=(const RecordedShell&) = delete;

    void openWithDefault(const std::string& pathOrUrl, std::function<void(bool ok)> done) override {
        opened.push_back(pathOrUrl);
        done(succeeds);
    }
    void startProgram(const std::string& program, const std::string& path) override {
        started.push_back({program, path});
    }
    void reveal(const std::string& path, std::function<void(bool shown)> done) override {
        revealed.push_back(path);
        done(succeeds);
    }

    bool succeeds = true;
    std::vector<std::string> opened;
    std::vector<std::pair<std::string, std::string>> started;  // program, argument
    std::vector<std::string> revealed;
};

// A pump that runs a callback at every call instead of processing events.
class CallbackPump : public EventPump {
  public:
    explicit CallbackPump(std::function<void(int call)> onPump) : onPump_(std::move(onPump)) {
        EventPump::install(this);
    }
    ~CallbackPump() override { EventPump::install(nullptr); }
    CallbackPump(const CallbackPump&) = delete;
    CallbackPump& operator=(const CallbackPump&) = delete;

    void pump() override { onPump_(calls_++); }
    int calls() const { return calls_; }

  private:
    std::function<void(int)> onPump_;
    int calls_ = 0;
};

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempTree {
  public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const std::string& root() const { return root_; }
    std::string path(const std::string& relative) const { return root_ + "/" + relative; }
    // Creates the file (and its folders) with the given bytes; returns its full path.
    std::string file(const std::string& relative, const std::string& bytes = "x");
    std::string folder(const std::string& relative);

  private:
    std::string root_;
};

// Runs `action` with the effective user dropped to "nobody" when the tests run as root, so permission checks
// apply for real.
void asUnprivileged(const std::function<void()>& action);

// Scripts that stand in for programs, in a folder put first on PATH while this lives. Each records every call
// (its arguments, as bytes) and ends with the code it was made with.
class StandInPrograms {
  public:
    StandInPrograms();
    ~StandInPrograms();
    StandInPrograms(const StandInPrograms&) = delete;
    StandInPrograms& operator=(const StandInPrograms&) = delete;

    // Creates or remakes the program `name`; returns its full path.
    std::string add(const std::string& name, int exitCode = 0);
    // The calls of `name` so far, each its list of arguments.
    std::vector<std::vector<std::string>> calls(const std::string& name) const;
    // Waits (pumping events) until `name` has been called `count` times; false when that does not happen.
    bool waitForCalls(const std::string& name, std::size_t count) const;

  private:
    TempTree folder_;
    QByteArray savedPath_;
};
