#include "platform/threads/HelperPriority.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace {

// Niceness added to a helper: a tenth of the weight of the window's thread.
constexpr int kHelperNiceness = 10;

}  // namespace

void lowerThisThreadPriority() {
    // On Linux the niceness of a thread id applies to that thread alone.
    const auto self = static_cast<id_t>(gettid());
    errno = 0;
    const int niceness = getpriority(PRIO_PROCESS, self);
    if (errno == 0) {
        setpriority(PRIO_PROCESS, self, std::min(19, niceness + kHelperNiceness));
    }
}
