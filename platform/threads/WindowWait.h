#pragma once
// How the window's thread waits for helper threads that run at a lower priority: never blocked on a lock one
// of them holds (a helper that other jobs keep from a processor may hold it for long), events pumped
// meanwhile.

#include <chrono>
#include <condition_variable>
#include <mutex>

// Takes the lock, pumping events while a helper holds it.
void lockPumpingEvents(std::unique_lock<std::mutex>& lock);

// What helpers ring when they have something for the window's thread; it waits for the ring, or a while,
// holding no lock the helpers need.
class Doorbell {
  public:
    void ring();
    void waitFor(std::chrono::milliseconds most);

  private:
    std::mutex mutex_;
    std::condition_variable bell_;
    bool rung_ = false;
};
