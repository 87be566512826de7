#include "trend/SampleStore.h"

#include <algorithm>

namespace mp {
namespace {

// True / false when the currents are known, nothing when the read got no reply.
std::optional<bool> AnyAtOrAbove(const TrendSample& sample, double threshold) {
    if (!sample.Answered.Currents) {
        return std::nullopt;
    }
    bool any = false;
    for (const auto& current : sample.Currents) {
        any = any || (current && *current >= threshold);
    }
    return any;
}

}  // namespace

CSampleStore::CSampleStore(size_t capacity) : Capacity_(std::max<size_t>(capacity, 1)) {}

bool LineJoins(const TrendSample& earlier, const TrendSample& later) {
    const int64_t apart = later.TimeMs - earlier.TimeMs;
    return !later.StartsRun && apart >= 0 && apart <= kLongestJoinMs;
}

std::vector<TrendRun> LineRuns(
    const std::deque<TrendSample>& samples, size_t first,
    const std::function<std::optional<double>(const TrendSample&)>& value) {
    std::vector<TrendRun> runs;
    bool joins = false;  // the previous sample holds a point the next may join
    for (size_t i = first; i < samples.size(); ++i) {
        const std::optional<double> v = value(samples[i]);
        if (!v) {
            joins = false;
            continue;
        }
        if (!joins || !LineJoins(samples[i - 1], samples[i])) {
            runs.emplace_back();
        }
        runs.back().emplace_back(samples[i].TimeMs, *v);
        joins = true;
    }
    return runs;
}

void CSampleStore::Add(const TrendSample& sample) {
    Samples_.push_back(sample);
    if (BreakPending_) {
        Samples_.back().StartsRun = true;
        BreakPending_ = false;
    }
    while (Samples_.size() > Capacity_) {
        Samples_.pop_front();
    }
}

void CSampleStore::Clear() {
    Samples_.clear();
}

size_t CSampleStore::FirstAtOrAfter(int64_t timeMs) const {
    const auto at =
        std::lower_bound(Samples_.begin(), Samples_.end(), timeMs,
                         [](const TrendSample& sample, int64_t t) { return sample.TimeMs < t; });
    return static_cast<size_t>(at - Samples_.begin());
}

std::optional<int64_t> CSampleStore::LastStart(double thresholdA) const {
    std::optional<int64_t> start;
    bool below = false;
    for (const TrendSample& sample : Samples_) {
        const std::optional<bool> above = AnyAtOrAbove(sample, thresholdA);
        if (!above) {
            continue;  // a missed read neither starts nor ends anything
        }
        if (*above && below) {
            start = sample.TimeMs;
        }
        below = !*above;
    }
    return start;
}

}  // namespace mp
