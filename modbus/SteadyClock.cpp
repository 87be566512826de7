#include "modbus/SteadyClock.h"

#include <chrono>

namespace mp {

uint32_t CSteadyClock::TickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void CSteadyClock::Sleep(uint32_t ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    std::unique_lock<std::mutex> lock(Mutex_);
    // Ended by the steady clock itself, never by the wait's own timeout, which may come early.
    while (!SleepsEnded_ && std::chrono::steady_clock::now() < deadline) {
        Ended_.wait_until(lock, deadline);
    }
}

void CSteadyClock::EndSleeps() {
    {
        std::lock_guard<std::mutex> guard(Mutex_);
        SleepsEnded_ = true;
    }
    Ended_.notify_all();
}

}  // namespace mp
