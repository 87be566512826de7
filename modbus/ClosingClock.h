#pragma once
// The clock the I/O worker's exchanges run on: the line's own clock until the program closes.
// From the close on every wait is over: a sleep under way is cut short, later sleeps return at
// once, and the time reads far past every deadline an exchange took before the close (the end
// of a reply's wait, a late reply owed), so an exchange under way ends at its next look at the
// clock instead of waiting out its time. Frames are never cut: the close acts only on waits.

#include <atomic>
#include <cstdint>

#include "modbus/Clock.h"

namespace mp {

class CClosingClock : public IClock {
public:
    // How far the time leaps at the close: beyond the longest wait (a late reply is owed for
    // 3 s, a search's wait is at most a few seconds) and far within the tick count's half range.
    static constexpr uint32_t kLeapMs = 3600000;

    explicit CClosingClock(IClock& line) : Line_(line) {}

    uint32_t TickCount() override { return Line_.TickCount() + (Closed_.load() ? kLeapMs : 0); }
    void Sleep(uint32_t ms) override {
        if (!Closed_.load()) {
            Line_.Sleep(ms);
        }
    }
    void WaitIdle(std::condition_variable& wake, std::unique_lock<std::mutex>& lock,
                  uint32_t ms) override {
        Line_.WaitIdle(wake, lock, ms);
    }
    // Any thread; cannot be undone.
    void EndSleeps() override {
        Closed_.store(true);
        Line_.EndSleeps();
    }
    bool Closed() const { return Closed_.load(); }

private:
    IClock& Line_;
    std::atomic<bool> Closed_{false};
};

}  // namespace mp
