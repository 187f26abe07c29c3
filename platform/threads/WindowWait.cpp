#include "platform/threads/WindowWait.h"

#include <thread>

#include "platform/EventPump.h"

namespace {

// How long the window's thread sleeps between two tries of a lock a helper holds.
constexpr auto kLockRetry = std::chrono::microseconds(100);

}  // namespace

void lockPumpingEvents(std::unique_lock<std::mutex>& lock) {
    while (!lock.try_lock()) {
        pumpEvents();
        std::this_thread::sleep_for(kLockRetry);
    }
}

void Doorbell::ring() {
    {
        const std::lock_guard<std::mutex> hold(mutex_);
        rung_ = true;
    }
    bell_.notify_one();
}

void Doorbell::waitFor(std::chrono::milliseconds most) {
    std::unique_lock<std::mutex> hold(mutex_);
    bell_.wait_for(hold, most, [this] { return rung_; });
    rung_ = false;
}
