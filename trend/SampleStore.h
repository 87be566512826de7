#pragma once
// The samples of the running session for the trend, oldest first, at most `capacity` of them:
// past that the oldest go, so a day of fast polling cannot use up the memory.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "trend/TrendSample.h"

namespace mp {

// The longest time between two neighbouring samples that a trend line still joins: a few poll
// periods. Ticks further apart did not come (the worker was held by a long operation, the
// computer slept): nothing is known in between.
constexpr int64_t kLongestJoinMs = 5000;

// Whether a trend line may run from `earlier` to `later`, two neighbouring samples.
bool LineJoins(const TrendSample& earlier, const TrendSample& later);

// One unbroken piece of a trend line: (time in ms since the epoch, value), oldest first.
using TrendRun = std::vector<std::pair<int64_t, double>>;

// The pieces of one measurement's line over `samples` from index `first` on: a sample
// without the value (its read got no reply), a stop of polling and a long gap in time each
// end a piece. A piece may hold a single point.
std::vector<TrendRun> LineRuns(
    const std::deque<TrendSample>& samples, size_t first,
    const std::function<std::optional<double>(const TrendSample&)>& value);

class CSampleStore {
public:
    // 30 minutes at ten ticks a second, twice over.
    static constexpr size_t kDefaultCapacity = 36000;

    explicit CSampleStore(size_t capacity = kDefaultCapacity);

    void Add(const TrendSample& sample);
    void Clear();
    // Polling was started again: the next sample begins a new line.
    void BreakLine() { BreakPending_ = true; }

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
    bool BreakPending_ = false;
};

}  // namespace mp
