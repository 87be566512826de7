#pragma once
// What one poll tick found, as the trend and the recording keep it: the time the window
// applied it, the six measurements, the inputs, the outputs, the status bits and which reads
// answered. A measurement whose read got no reply is absent, never the previous value.

#include <array>
#include <cstdint>
#include <optional>

#include "monitoring/LiveValues.h"
#include "monitoring/PollingCycle.h"

namespace mp {

struct TrendSample {
    int64_t TimeMs = 0;  // milliseconds since the epoch, local clock of the computer
    std::array<std::optional<double>, 3> Currents;  // A
    std::array<std::optional<double>, 3> Voltages;  // V
    std::optional<uint8_t> Inputs;                  // bit k: DI(k + 1) closed
    std::optional<uint8_t> Outputs;                 // bits 0..2: output A, output B, reset
    std::optional<uint8_t> Status;                  // the status register's low byte
    PollTickResult Answered;
    // The first sample after polling was started (again): no trend line joins it to the one
    // before, whatever the time between them.
    bool StartsRun = false;
};

// The sample of a tick from the window's live values as the tick left them.
TrendSample MakeTrendSample(int64_t timeMs, const LiveValues& live, const PollTickResult& answered);

}  // namespace mp
