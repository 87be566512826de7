#pragma once
// The plain monotonic clock, for exchanges over a port that receives on its own.

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "modbus/Clock.h"

namespace mp {

// Wall time from std::chrono::steady_clock; Sleep blocks the calling thread.
class CSteadyClock : public IClock {
public:
    uint32_t TickCount() override;
    void Sleep(uint32_t ms) override;
    // The sleep under way returns at once, and so does every later one.
    void EndSleeps() override;

private:
    std::mutex Mutex_;
    std::condition_variable Ended_;
    bool SleepsEnded_ = false;
};

}  // namespace mp
