#include "simulator/VirtualClock.h"

namespace mp {

void CVirtualClock::Sleep(uint32_t ms) {
    {
        std::lock_guard<std::mutex> guard(Mutex_);
        Sleeps_.push_back(ms);
        if (Sleeps_.size() > kSleepsKept) {
            Sleeps_.pop_front();
        }
    }
    Now_ += ms;
}

void CVirtualClock::WaitIdle(std::condition_variable&, std::unique_lock<std::mutex>&, uint32_t ms) {
    Now_ += ms;
}

std::vector<uint32_t> CVirtualClock::Sleeps() const {
    std::lock_guard<std::mutex> guard(Mutex_);
    return std::vector<uint32_t>(Sleeps_.begin(), Sleeps_.end());
}

void CVirtualClock::ClearSleeps() {
    std::lock_guard<std::mutex> guard(Mutex_);
    Sleeps_.clear();
}

}  // namespace mp
