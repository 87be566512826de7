#pragma once
// The clock of a line whose port takes bytes in only while one of its waits runs (the serial
// port, the TCP connection to a gateway): a wrapping millisecond tick from the monotonic
// clock, and a sleep that keeps the port receiving all the while.

#include <atomic>

#include "modbus/Clock.h"
#include "modbus/Port.h"

namespace mp {

class CReceivingClock : public IClock {
public:
    explicit CReceivingClock(IReceivingPort& port) : Port_(port) {}

    uint32_t TickCount() override;
    // Lasts at least `ms` milliseconds by the monotonic clock, receiving all the while; on a
    // closed port it simply sleeps.
    void Sleep(uint32_t ms) override;
    // The sleep under way ends at its next look (within kSleepSliceMs), later ones at once.
    // Any thread.
    void EndSleeps() override { SleepsEnded_.store(true); }

    // The longest stretch a sleep receives or pauses before it looks whether it was ended.
    static constexpr int kSleepSliceMs = 50;

private:
    IReceivingPort& Port_;
    std::atomic<bool> SleepsEnded_{false};
};

}  // namespace mp
