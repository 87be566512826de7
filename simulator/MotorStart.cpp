#include "simulator/MotorStart.h"

#include <cmath>

namespace mp {
namespace {

// How far the start's extra current has decayed, 1 at the start.
double Excess(const MotorStartProfile& profile, int64_t sinceMs) {
    return std::exp(-static_cast<double>(sinceMs) / static_cast<double>(profile.DecayMs));
}

}  // namespace

double MotorStartCurrent(const MotorStartProfile& profile, int64_t sinceMs) {
    if (sinceMs < 0) {
        return 0.0;
    }
    const double rise =
        1.0 - std::exp(-static_cast<double>(sinceMs) / static_cast<double>(profile.RiseMs));
    return rise * (1.0 + (profile.PeakMultiple - 1.0) * Excess(profile, sinceMs));
}

double MotorStartVoltage(const MotorStartProfile& profile, int64_t sinceMs) {
    if (sinceMs < 0) {
        return 1.0;
    }
    return 1.0 - profile.VoltageSag * Excess(profile, sinceMs);
}

}  // namespace mp
