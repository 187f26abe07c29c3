#pragma once
// Long work on the user-interface thread calls pump() often; the pump lets the toolkit process pending events
// so the windows stay alive and "Стоп" is seen. Tests replace it to act at a chosen point of a run.

class EventPump {
  public:
    virtual ~EventPump() = default;
    virtual void pump() = 0;

    static EventPump& current();
    // Replaces the pump (tests, benchmarks); nullptr puts the real one back.
    static void install(EventPump* replacement);
};

// Convenience for the call sites: EventPump::current().pump().
inline void pumpEvents() {
    EventPump::current().pump();
}
