#include "documents/pdf/PdfHelperPool.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>

#include "documents/pdf/PdfProtocol.h"
#include "platform/files/FileError.h"
#include "platform/files/InputFile.h"
#include "platform/files/ProgramFolder.h"

namespace {

// How often a wait for a helper looks at the cancel request: "Стоп" must end a read within a few of these.
constexpr auto kCancelSlice = std::chrono::milliseconds(5);

using Clock = std::chrono::steady_clock;

DocumentText unreadable(const std::string& reason) {
    DocumentText text;
    text.status = DocumentText::Status::Unreadable;
    text.reason = reason;
    return text;
}

DocumentText cancelledRead() {
    DocumentText text;
    text.status = DocumentText::Status::Cancelled;
    return text;
}

void stop(pid_t& pid, int& channel) {
    if (pid > 0) {
        ::kill(pid, SIGKILL);
        while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    if (channel >= 0) {
        ::close(channel);
    }
    pid = -1;
    channel = -1;
}

}  // namespace

PdfHelperPool::PdfHelperPool(std::vector<std::string> command, unsigned helpers, PdfHelperLimits limits)
    : command_(std::move(command)), limits_(limits), helpers_(std::max(1u, helpers)) {}

PdfHelperPool::~PdfHelperPool() {
    for (Helper& helper : helpers_) {
        stop(helper.pid, helper.channel);
    }
}

DocumentText PdfHelperPool::read(const std::string& path, const DocumentCancel& cancelled) {
    // A path too long for the system to take whole is opened here piece by piece, and the helper opens the
    // file through this process's descriptor of it.
    std::optional<InputFile> held;
    std::string named = path;
    if (path.size() >= PATH_MAX) {
        try {
            held.emplace(path);
        } catch (const FileError& failure) {
            return unreadable(failure.what());
        }
        named = "/proc/" + std::to_string(::getpid()) + "/fd/" + std::to_string(held->descriptor());
    }
    Helper* helper = take(cancelled);
    if (helper == nullptr) {
        return cancelledRead();
    }
    DocumentText text;
    try {
        text = converse(*helper, named, cancelled);
    } catch (...) {
        stop(helper->pid, helper->channel);
        giveBack(*helper);
        throw;
    }
    giveBack(*helper);
    return text;
}

PdfHelperPool::Helper* PdfHelperPool::take(const DocumentCancel& cancelled) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        const auto free =
            std::find_if(helpers_.begin(), helpers_.end(), [](const Helper& h) { return !h.busy; });
        if (free != helpers_.end()) {
            free->busy = true;
            return &*free;
        }
        freed_.wait_for(lock, kCancelSlice);
        lock.unlock();
        const bool cancel = cancelled && cancelled();
        lock.lock();
        if (cancel) {
            return nullptr;
        }
    }
}

void PdfHelperPool::giveBack(Helper& helper) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        helper.busy = false;
    }
    freed_.notify_one();
}

bool PdfHelperPool::start(Helper& helper) {
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        return false;
    }
    std::vector<char*> argv;
    for (std::string& part : command_) {
        argv.push_back(part.data());
    }
    argv.push_back(nullptr);
    const rlimit memory{limits_.memoryBytes, limits_.memoryBytes};
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Only what is safe between fork and exec in a process with threads.
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::setrlimit(RLIMIT_AS, &memory);
        if (ends[1] == kPdfHelperChannel) {
            ::fcntl(kPdfHelperChannel, F_SETFD, 0);
        } else {
            ::dup2(ends[1], kPdfHelperChannel);
        }
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(ends[1]);
    if (pid < 0) {
        ::close(ends[0]);
        return false;
    }
    helper.pid = pid;
    helper.channel = ends[0];
    return true;
}

DocumentText PdfHelperPool::converse(Helper& helper, const std::string& path,
                                     const DocumentCancel& cancelled) {
    if (helper.pid < 0 && !start(helper)) {
        return unreadable(std::string("не удалось запустить чтение PDF: ") + std::strerror(errno));
    }
    if (!sendAll(helper.channel, encodePdfRequest(path))) {
        stop(helper.pid, helper.channel);  // it ended since the last document; the next one starts it again
        if (!start(helper) || !sendAll(helper.channel, encodePdfRequest(path))) {
            stop(helper.pid, helper.channel);
            return unreadable("не удалось запустить чтение PDF");
        }
    }
    const Clock::time_point deadline = Clock::now() + limits_.perDocument;
    PdfAnswerDecoder answer(limits_.answerBytes);
    char chunk[64 * 1024];
    while (true) {
        if (cancelled && cancelled()) {
            stop(helper.pid, helper.channel);
            return cancelledRead();
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            stop(helper.pid, helper.channel);
            return unreadable("чтение PDF заняло больше времени, чем отведено");
        }
        pollfd waiting{helper.channel, POLLIN, 0};
        const int ready = ::poll(&waiting, 1, static_cast<int>(std::min(left, kCancelSlice).count()));
        if (ready <= 0) {
            continue;  // no answer yet, or a signal: look at the cancel request and the time again
        }
        const ssize_t got = ::recv(helper.channel, chunk, sizeof chunk, 0);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            stop(helper.pid, helper.channel);
            return unreadable("чтение PDF прервалось");
        }
        switch (answer.feed(chunk, static_cast<std::size_t>(got))) {
            case PdfAnswerDecoder::State::More:
                break;
            case PdfAnswerDecoder::State::Done:
                return answer.take();
            case PdfAnswerDecoder::State::Bad:
                stop(helper.pid, helper.channel);
                return unreadable("чтение PDF дало неверный ответ");
            case PdfAnswerDecoder::State::TooLarge:
                stop(helper.pid, helper.channel);
                return unreadable(kTextTooLarge);
        }
    }
}

std::unique_ptr<PdfTextSource> makePdfTextSource(unsigned helpers) {
    return std::make_unique<PdfHelperPool>(std::vector<std::string>{programFolder() + "varnel-pdf-text"},
                                           helpers);
}
