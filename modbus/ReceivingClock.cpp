#include "modbus/ReceivingClock.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace mp {
namespace {

// Longest pause before a port that cannot receive is asked again during a wait.
constexpr auto kRetryPause = std::chrono::milliseconds(10);

}  // namespace

uint32_t CReceivingClock::TickCount() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void CReceivingClock::Sleep(uint32_t ms) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(ms);
    const auto slice = std::chrono::milliseconds(kSleepSliceMs);
    for (Clock::time_point now = Clock::now(); now < deadline && !SleepsEnded_.load();
         now = Clock::now()) {
        // Rounded up: the port's wait counts whole milliseconds and must not end early. In
        // slices, so that a close is noticed; the bytes stay in the port between two slices.
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
        if (Port_.IsPortOpen() && Port_.Receive(static_cast<int>(std::min(left, slice).count()))) {
            continue;
        }
        std::this_thread::sleep_until(Port_.IsPortOpen() ? std::min(deadline, now + kRetryPause)
                                                         : std::min(deadline, now + slice));
    }
}

}  // namespace mp
