#pragma once
// The clock of the real serial line: a wrapping millisecond tick from the monotonic clock,
// and a wait that keeps the port receiving, since the port takes bytes in only while one of
// its wait functions runs.

#include <atomic>

#include "modbus/Clock.h"

namespace mp {

class CSerialPort;

class CSerialPortClock : public IClock {
public:
    explicit CSerialPortClock(CSerialPort& port) : Port_(port) {}

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
    CSerialPort& Port_;
    std::atomic<bool> SleepsEnded_{false};
};

}  // namespace mp
