#include "trend/TrendSample.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace mp {
namespace {

std::optional<double> Number(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// Bit k set for a red (closed/on) lamp; nothing while any lamp is still unknown.
template <size_t N>
std::optional<uint8_t> Bits(const std::array<Lamp, N>& lamps) {
    uint8_t bits = 0;
    for (size_t k = 0; k < N; ++k) {
        if (lamps[k] == Lamp::Unknown) {
            return std::nullopt;
        }
        if (lamps[k] == Lamp::Red) {
            bits = static_cast<uint8_t>(bits | 1U << k);
        }
    }
    return bits;
}

}  // namespace

TrendSample MakeTrendSample(int64_t timeMs, const LiveValues& live,
                            const PollTickResult& answered) {
    TrendSample sample;
    sample.TimeMs = timeMs;
    sample.Answered = answered;
    for (size_t k = 0; k < 3; ++k) {
        if (answered.Currents) {
            sample.Currents[k] = Number(live.Currents[k]);
        }
        if (answered.Voltages) {
            sample.Voltages[k] = Number(live.Voltages[k]);
        }
    }
    if (answered.Inputs) {
        sample.Inputs = Bits(live.Inputs);
    }
    if (answered.Outputs) {
        sample.Outputs = Bits(live.Outputs);
    }
    if (answered.Status) {
        sample.Status = live.StatusLamps;
    }
    return sample;
}

}  // namespace mp
