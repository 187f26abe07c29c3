#include "platform/TerminationRequests.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

#include "platform/HandlerGuard.h"

namespace {

// The handler only writes a byte here; the event loop reads it from the other end.
int requests[2] = {-1, -1};

void noteRequest(int) {
    const int saved = errno;
    const char request = 1;
    [[maybe_unused]] const ssize_t ignored = write(requests[0], &request, 1);
    errno = saved;
}

}  // namespace

void onTerminationRequest(std::function<void()> action) {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, requests) != 0) {
        return;  // the signals keep ending the program at once
    }
    auto* notifier = new QSocketNotifier(requests[1], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [action = std::move(action)] {
        char drained[64];
        while (read(requests[1], drained, sizeof drained) > 0) {
        }
        guarded(action);
    });
    struct sigaction handling {};
    handling.sa_handler = noteRequest;
    sigemptyset(&handling.sa_mask);
    handling.sa_flags = SA_RESTART;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        sigaction(signal, &handling, nullptr);
    }
}
