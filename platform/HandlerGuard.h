#pragma once
// The one boundary for unexpected failures: every place where Qt calls the program's code (a slot connected
// to a signal, an event override, a timer, the application hook) runs it through guarded(). A failure is
// shown once through reportUnexpected and the call returns normally, so no exception unwinds through Qt's
// own frames.

#include <exception>
#include <utility>

#include "platform/GuardedApplication.h"

template <typename Handler>
void guarded(Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& failure) {
        reportUnexpected(failure);
    } catch (...) {
        reportUnknownFailure();
    }
}

// guarded() for a handler that answers Qt (an event filter, notify): `onFailure` is the answer when it fails.
template <typename Result, typename Handler>
Result guardedAnswer(Result onFailure, Handler&& handler) {
    Result answer = onFailure;
    guarded([&] { answer = std::forward<Handler>(handler)(); });
    return answer;
}

// What to connect in place of a member slot: the slot run through guarded(). At the connect site:
//     connect(Button5, &QPushButton::clicked, this, guardedSlot(this, &TRF::Button5Click));
template <typename Receiver, typename... Args>
auto guardedSlot(Receiver* receiver, void (Receiver::*slot)(Args...)) {
    return
        [receiver, slot](Args... args) { guarded([&] { (receiver->*slot)(std::forward<Args>(args)...); }); };
}
