#pragma once
// A virtual clock whose sleeps can be held: the worker thread stops inside the wait that
// follows a request until the test lets it go on, so a test can act "in the middle" of an
// operation without any real time passing.

#include <condition_variable>
#include <mutex>

#include "simulator/VirtualClock.h"

namespace mp::test {

class CGatedClock : public CVirtualClock {
public:
    explicit CGatedClock(uint32_t start = 0) : CVirtualClock(start) {}

    // Lets `pass` sleeps go by, then blocks the next one (on any thread) until Release.
    void HoldAfter(int pass = 0) {
        std::lock_guard<std::mutex> guard(Mutex_);
        Hold_ = true;
        Held_ = false;
        Pass_ = pass;
    }
    // True once a sleep is being held.
    bool Holding() const {
        std::lock_guard<std::mutex> guard(Mutex_);
        return Held_;
    }
    void Release() {
        {
            std::lock_guard<std::mutex> guard(Mutex_);
            Hold_ = false;
        }
        Wake_.notify_all();
    }

    // The close ends a held sleep as it would end a real one.
    void EndSleeps() override { Release(); }

    void Sleep(uint32_t ms) override {
        {
            std::unique_lock<std::mutex> lock(Mutex_);
            if (Hold_ && Pass_-- == 0) {
                Held_ = true;
                Wake_.wait(lock, [this] { return !Hold_; });
                Held_ = false;
            }
        }
        CVirtualClock::Sleep(ms);
    }

private:
    mutable std::mutex Mutex_;
    std::condition_variable Wake_;
    bool Hold_ = false;
    bool Held_ = false;
    int Pass_ = 0;
};

}  // namespace mp::test
