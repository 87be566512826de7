#pragma once
// "起动录波": once armed, waits for a phase current to rise above a threshold (by default 10 %
// of the rated current), keeps every sample from then on for the capture time (by default
// 30 s), and judges the start: its peak current, the time until every phase current fell
// below 1.2 × the rated current, and whether the start-timeout or the locked-rotor
// protection would have tripped with the settings given.

#include <cstdint>
#include <optional>
#include <vector>

#include "trend/TrendSample.h"

namespace mp {

struct StartSettings {
    double RatedCurrent = 0;         // A
    double LockedRotorMultiple = 0;  // × rated; 0: not judged
    double LockedRotorTime = 0;      // s
    double StartTime = 0;            // s; 0: not judged
};

struct StartJudgement {
    int64_t StartAt = 0;                    // ms since the epoch
    double PeakCurrent = 0;                 // A, the highest phase
    int64_t PeakAt = 0;                     // ms since the epoch
    std::optional<int64_t> SettledAfter;    // ms from the start until below 1.2 × rated
    bool StartTimeoutTrips = false;         // still above 1.2 × rated at the start time's end
    bool LockedRotorTrips = false;          // at or above the locked-rotor current for longer
                                            // than its time
    std::optional<int64_t> LockedRotorFor;  // ms the current stayed at or above it
};

class CStartCapture {
public:
    static constexpr double kDefaultThreshold = 0.10;  // × rated
    static constexpr int64_t kDefaultCaptureMs = 30000;
    static constexpr double kSettledMultiple = 1.2;

    enum class State { Idle, Armed, Capturing, Done };

    void Arm(const StartSettings& settings, double threshold = kDefaultThreshold,
             int64_t captureMs = kDefaultCaptureMs);
    void Cancel();
    // Takes one tick's sample; true when this sample ended the capture.
    bool Feed(const TrendSample& sample);

    State CurrentState() const { return State_; }
    const std::vector<TrendSample>& Samples() const { return Samples_; }
    const StartSettings& Settings() const { return Settings_; }
    // The last answered sample before the start (the motor stopped), for the voltage before
    // the start; nothing when the capture began without one.
    const std::optional<TrendSample>& Before() const { return Before_; }

    // The judgement of captured samples (their first sample is the start).
    static StartJudgement Judge(const std::vector<TrendSample>& samples,
                                const StartSettings& settings);

private:
    State State_ = State::Idle;
    StartSettings Settings_;
    double Threshold_ = 0;
    int64_t CaptureMs_ = 0;
    bool SeenBelow_ = false;
    std::vector<TrendSample> Samples_;
    std::optional<TrendSample> Before_;
};

}  // namespace mp
