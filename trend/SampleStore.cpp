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

void CSampleStore::Add(const TrendSample& sample) {
    Samples_.push_back(sample);
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
