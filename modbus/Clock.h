#pragma once
// Time as the exchanges see it: a wrapping millisecond tick count and a blocking wait.
// The real serial port's clock keeps receiving during the wait; tests use a virtual clock.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace mp {

class IClock {
public:
    virtual ~IClock() = default;
    // Milliseconds, unsigned 32-bit, wrapping.
    virtual uint32_t TickCount() = 0;
    // Blocks for at least `ms` milliseconds, measured on a monotonic clock.
    virtual void Sleep(uint32_t ms) = 0;
    // Lets up to `ms` milliseconds pass while the caller has nothing to do, returning early
    // when `wake` is notified. `lock` holds the mutex that guards the caller's work queue.
    // A real clock waits on the condition variable; a virtual clock moves its time on.
    virtual void WaitIdle(std::condition_variable& wake, std::unique_lock<std::mutex>& lock,
                          uint32_t ms) {
        wake.wait_for(lock, std::chrono::milliseconds(ms));
    }
    // The program is closing: a Sleep under way returns within a few milliseconds instead of
    // at its end, so no wait holds the close up. A clock whose sleeps take no real time has
    // nothing to cut short.
    virtual void EndSleeps() {}
};

}  // namespace mp
