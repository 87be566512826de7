#pragma once
// The samples of the running session for the trend, oldest first, at most `capacity` of them:
// past that the oldest go, so a day of fast polling cannot use up the memory.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

#include "trend/TrendSample.h"

namespace mp {

class CSampleStore {
public:
    // 30 minutes at ten ticks a second, twice over.
    static constexpr size_t kDefaultCapacity = 36000;

    explicit CSampleStore(size_t capacity = kDefaultCapacity);

    void Add(const TrendSample& sample);
    void Clear();

    const std::deque<TrendSample>& Samples() const { return Samples_; }
    size_t Capacity() const { return Capacity_; }

    // Index of the first sample at or after `timeMs` (Samples().size() when none).
    size_t FirstAtOrAfter(int64_t timeMs) const;

    // The time the motor last started: the first sample at which some phase current rose to
    // `thresholdA` or above after a sample with every current below it. None before any start.
    std::optional<int64_t> LastStart(double thresholdA) const;

private:
    size_t Capacity_;
    std::deque<TrendSample> Samples_;
};

}  // namespace mp
