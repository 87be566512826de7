#pragma once
// A clock whose time moves only when someone sleeps on it or advances it: tests of 1.4 s
// poll ticks run in microseconds. Safe to use from several threads.

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "modbus/Clock.h"

namespace mp {

class CVirtualClock : public IClock {
public:
    explicit CVirtualClock(uint32_t start = 0) : Now_(start) {}

    uint32_t TickCount() override { return static_cast<uint32_t>(Now_.load()); }
    // Moves time on by `ms` at once and records the wait.
    void Sleep(uint32_t ms) override;
    void WaitIdle(std::condition_variable& wake, std::unique_lock<std::mutex>& lock,
                  uint32_t ms) override;

    void Advance(uint32_t ms) { Now_ += ms; }
    // Time since the start value, without wrapping.
    uint64_t Elapsed() const { return Now_.load() - Start_; }

    // The newest Sleeps, in order, at most kSleepsKept of them.
    std::vector<uint32_t> Sleeps() const;
    void ClearSleeps();
    static constexpr size_t kSleepsKept = 4096;

private:
    std::atomic<uint64_t> Now_;
    uint64_t Start_ = Now_.load();
    mutable std::mutex Mutex_;
    std::deque<uint32_t> Sleeps_;
};

}  // namespace mp
