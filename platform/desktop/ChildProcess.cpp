#include "platform/desktop/ChildProcess.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>
#include <cerrno>

#include "platform/HandlerGuard.h"

extern char** environ;

namespace {

// How often a running child is asked whether it has ended; openers usually end within a second, and a poll
// costs one system call.
constexpr int kPollMilliseconds = 50;

// The argument vector execvp and posix_spawnp take; it points into `command`.
std::vector<char*> argumentVector(const std::vector<std::string>& command) {
    std::vector<char*> argv;
    argv.reserve(command.size() + 1);
    for (const std::string& argument : command) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    return argv;
}

void reportLater(std::function<void(bool)> finished, bool succeeded) {
    QTimer::singleShot(0, QCoreApplication::instance(), [finished = std::move(finished), succeeded] {
        guarded([&] { finished(succeeded); });
    });
}

}  // namespace

void startWatched(const std::vector<std::string>& command, std::function<void(bool succeeded)> finished) {
    if (command.empty()) {
        reportLater(std::move(finished), false);
        return;
    }
    std::vector<char*> argv = argumentVector(command);
    pid_t child = 0;
    // glibc's posix_spawnp reports a program that cannot be executed as its result, so "cannot start" is
    // known here and not only from an exit code.
    if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        reportLater(std::move(finished), false);
        return;
    }
    auto* poll = new QTimer(QCoreApplication::instance());
    poll->setInterval(kPollMilliseconds);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, child, finished = std::move(finished)] {
        int status = 0;
        const pid_t ended = waitpid(child, &status, WNOHANG);
        if (ended == 0 || (ended < 0 && errno == EINTR)) {
            return;
        }
        poll->stop();
        poll->deleteLater();
        guarded([&] { finished(ended == child && WIFEXITED(status) && WEXITSTATUS(status) == 0); });
    });
    poll->start();
}

void startDetached(const std::vector<std::string>& command, const std::string& workingFolder) {
    if (command.empty() || command[0].empty()) {
        return;
    }
    std::vector<char*> argv = argumentVector(command);
    // The program runs as a grandchild: the child in between ends at once and is reaped here, so the program
    // is adopted by the system and nothing has to watch it for as long as it runs. Between fork and exec only
    // calls that are safe in a forked copy of a threaded process are made.
    const pid_t child = fork();
    if (child < 0) {
        return;
    }
    if (child == 0) {
        if (fork() == 0) {
            if (!workingFolder.empty()) {
                [[maybe_unused]] const int entered = chdir(workingFolder.c_str());
            }
            execvp(argv[0], argv.data());
            _exit(127);
        }
        _exit(0);
    }
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}
