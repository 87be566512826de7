#include "trend/StartCapture.h"

#include <algorithm>

namespace mp {
namespace {

// The highest phase current of an answered read; nothing for a read without reply.
std::optional<double> Highest(const TrendSample& sample) {
    std::optional<double> highest;
    for (const auto& current : sample.Currents) {
        if (current && (!highest || *current > *highest)) {
            highest = current;
        }
    }
    return highest;
}

}  // namespace

void CStartCapture::Arm(const StartSettings& settings, double threshold, int64_t captureMs) {
    Settings_ = settings;
    Threshold_ = settings.RatedCurrent * threshold;
    CaptureMs_ = captureMs;
    SeenBelow_ = false;
    Samples_.clear();
    Before_.reset();
    State_ = State::Armed;
}

void CStartCapture::Cancel() {
    State_ = State::Idle;
    Samples_.clear();
}

bool CStartCapture::Feed(const TrendSample& sample) {
    if (State_ == State::Armed) {
        const std::optional<double> highest = Highest(sample);
        if (!highest) {
            return false;
        }
        // A motor already running when armed is no start: it must be seen stopped first.
        if (*highest < Threshold_) {
            SeenBelow_ = true;
            Before_ = sample;
            return false;
        }
        if (!SeenBelow_) {
            return false;
        }
        State_ = State::Capturing;
    }
    if (State_ != State::Capturing) {
        return false;
    }
    Samples_.push_back(sample);
    if (sample.TimeMs - Samples_.front().TimeMs >= CaptureMs_) {
        State_ = State::Done;
        return true;
    }
    return false;
}

StartJudgement CStartCapture::Judge(const std::vector<TrendSample>& samples,
                                    const StartSettings& settings) {
    StartJudgement judgement;
    if (samples.empty()) {
        return judgement;
    }
    judgement.StartAt = samples.front().TimeMs;
    const double settled = settings.RatedCurrent * kSettledMultiple;
    const double locked = settings.RatedCurrent * settings.LockedRotorMultiple;
    std::optional<int64_t> lockedSince;
    int64_t lockedLongest = 0;
    bool sawLocked = false;
    for (const TrendSample& sample : samples) {
        const std::optional<double> highest = Highest(sample);
        if (!highest) {
            continue;  // a missed read neither ends nor extends anything
        }
        if (*highest > judgement.PeakCurrent) {
            judgement.PeakCurrent = *highest;
            judgement.PeakAt = sample.TimeMs;
        }
        if (!judgement.SettledAfter && *highest < settled) {
            judgement.SettledAfter = sample.TimeMs - judgement.StartAt;
        }
        if (settings.LockedRotorMultiple > 0 && *highest >= locked) {
            sawLocked = true;
            if (!lockedSince) {
                lockedSince = sample.TimeMs;
            }
            lockedLongest = std::max(lockedLongest, sample.TimeMs - *lockedSince);
        } else {
            lockedSince.reset();
        }
    }
    if (sawLocked) {
        judgement.LockedRotorFor = lockedLongest;
        judgement.LockedRotorTrips =
            static_cast<double>(lockedLongest) > settings.LockedRotorTime * 1000.0;
    }
    if (settings.StartTime > 0) {
        const auto limit = static_cast<int64_t>(settings.StartTime * 1000.0);
        judgement.StartTimeoutTrips = !judgement.SettledAfter || *judgement.SettledAfter > limit;
    }
    return judgement;
}

}  // namespace mp
