#include "platform/ChildProcess.h"

#include <spawn.h>
#include <sys/wait.h>

#include <QCoreApplication>
#include <QTimer>
#include <cerrno>

extern char** environ;

namespace {

// How often a running child is asked whether it has ended; openers usually end within a second, and a poll
// costs one system call.
constexpr int kPollMilliseconds = 50;

void reportLater(std::function<void(bool)> finished, bool succeeded) {
    QTimer::singleShot(0, QCoreApplication::instance(),
                       [finished = std::move(finished), succeeded] { finished(succeeded); });
}

}  // namespace

void startWatched(const std::vector<std::string>& command, std::function<void(bool succeeded)> finished) {
    if (command.empty()) {
        reportLater(std::move(finished), false);
        return;
    }
    std::vector<char*> argv;
    argv.reserve(command.size() + 1);
    for (const std::string& argument : command) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

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
        finished(ended == child && WIFEXITED(status) && WEXITSTATUS(status) == 0);
    });
    poll->start();
}
