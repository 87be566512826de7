#pragma once
// The clock of a line through a gateway: a wrapping millisecond tick from the monotonic clock,
// and a wait that keeps the connection receiving, since the socket takes bytes in only while
// one of its wait functions runs.

#include <atomic>

#include "modbus/Clock.h"

namespace mp {

class CTcpPort;

class CTcpPortClock : public IClock {
public:
    explicit CTcpPortClock(CTcpPort& port) : Port_(port) {}

    uint32_t TickCount() override;
    // Lasts at least `ms` milliseconds by the monotonic clock, receiving all the while; on a
    // closed connection it simply sleeps.
    void Sleep(uint32_t ms) override;
    // The sleep under way ends at its next look (within kSleepSliceMs), later ones at once.
    // Any thread.
    void EndSleeps() override { SleepsEnded_.store(true); }

    static constexpr int kSleepSliceMs = 50;

private:
    CTcpPort& Port_;
    std::atomic<bool> SleepsEnded_{false};
};

}  // namespace mp
