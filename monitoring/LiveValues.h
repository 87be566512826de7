#pragma once
// The live values the main window shows: phase measurements, acquisition time, current
// address, the eight input indicators, the three output lamps and the status lamps, and
// which of them a read without reply has left stale.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "monitoring/LiveFreshness.h"

namespace mp {

// An indicator pair: red for a 1 bit (closed/on), green for a 0 bit (open/off). Unknown
// until a read sets it, and again when a command's read-back finds no reply.
enum class Lamp : uint8_t { Unknown, Red, Green };

struct LiveValues {
    std::array<std::string, 3> Currents;  // "A相电流", "B相电流", "C相电流"
    std::array<std::string, 3> Voltages;  // "A相电压", "B相电压", "C相电压"
    int32_t AcquisitionTime = -1;         // "实时数据采集时间", ms; -1 before any tick
    int32_t CurrentAddress = -1;          // "当前仪表地址"; -1 before any tick
    std::array<Lamp, 8> Inputs{};         // DI1 .. DI8
    std::array<Lamp, 3> Outputs{};        // output A, output B, reset output
    std::array<bool, 3> OutputChecks{};   // the hidden mirrors "启动A", "启动B", "复归"
    std::optional<uint8_t> StatusLamps;   // low byte of the status register, last read
    CLiveFreshness Freshness;             // which of the above are stale, since when, why
};

}  // namespace mp
