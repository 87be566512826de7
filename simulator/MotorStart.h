#pragma once
// A direct-on-line motor start as the simulated device plays it: the phase currents jump to a
// multiple of the running current within a fraction of a second and decay to it over a few
// seconds; the voltages sag while the current is high.

#include <cstdint>

namespace mp {

struct MotorStartProfile {
    double PeakMultiple = 6.0;  // peak current / running current
    uint32_t RiseMs = 80;       // time constant of the rise
    uint32_t DecayMs = 2500;    // time constant of the decay towards the running current
    double VoltageSag = 0.07;   // share of the voltage lost at the peak
};

// Current as a multiple of the running current, `sinceMs` after the start (0 before it).
double MotorStartCurrent(const MotorStartProfile& profile, int64_t sinceMs);
// Voltage as a share of the voltage before the start (1 before it).
double MotorStartVoltage(const MotorStartProfile& profile, int64_t sinceMs);

}  // namespace mp
