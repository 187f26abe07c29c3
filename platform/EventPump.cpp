#include "platform/EventPump.h"

#include <QCoreApplication>
#include <chrono>

namespace {

// Processing events costs far more than the work between two calls, so the real pump processes them only when
// a few milliseconds have passed: the window still answers well within a frame.
class ThrottledEventPump : public EventPump {
  public:
    void pump() override {
        const auto now = std::chrono::steady_clock::now();
        if (now - last_ < kInterval) {
            return;
        }
        QCoreApplication::processEvents();
        last_ = std::chrono::steady_clock::now();
    }

  private:
    static constexpr std::chrono::milliseconds kInterval{8};
    std::chrono::steady_clock::time_point last_{};
};

ThrottledEventPump& realPump() {
    static ThrottledEventPump instance;
    return instance;
}

EventPump* installed = nullptr;

}  // namespace

EventPump& EventPump::current() {
    return installed != nullptr ? *installed : realPump();
}

void EventPump::install(EventPump* replacement) {
    installed = replacement;
}
