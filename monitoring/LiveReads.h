#pragma once
// The five live reads. Each runs one read sequence on the I/O worker. The Fetch forms give the
// group's values there, or nothing when no response was located (LiveReadFailure then says
// why). The Read forms hand the decoded values to the window in one screen update, marking
// them fresh, and without a response leave them as they are and mark them stale (handed over
// without a screen update of its own); each returns whether the response was located.

#include <array>
#include <cstdint>
#include <optional>

#include "device/RegisterMap.h"
#include "modbus/DeviceContext.h"
#include "monitoring/LiveValues.h"
#include "settings/ProtectionSettings.h"

namespace mp {

// The three phase currents as the device reports them; DecodePhaseCurrents scales them by the
// CT ratio to amperes.
struct PhaseCurrentReading {
    std::array<uint16_t, 3> Counts{};
};

// The three phase voltages in tenths of a volt.
struct PhaseVoltageReading {
    std::array<uint16_t, 3> Tenths{};
};

// DI1..DI8 in bits 0..7.
struct DigitalInputReading {
    uint8_t Bits = 0;
};

// Outputs A, B and reset in bits 0..2.
struct OutputStateReading {
    uint8_t Bits = 0;
};

// The status register's low byte; its high byte is not used.
struct StatusLampReading {
    uint8_t LowByte = 0;
};

// Registers 0x0106..0x0108, 200 ms wait.
std::optional<PhaseCurrentReading> FetchPhaseCurrents(CDeviceContext& ctx);
// Registers 0x0103..0x0105, 300 ms wait.
std::optional<PhaseVoltageReading> FetchPhaseVoltages(CDeviceContext& ctx);
// Function 0x02 from input 0, quantity 1, 300 ms wait.
std::optional<DigitalInputReading> FetchDigitalInputs(CDeviceContext& ctx);
// Function 0x01 from coil 0, quantity 1, 300 ms wait.
std::optional<OutputStateReading> FetchOutputStates(CDeviceContext& ctx);
// Register 0x011B, 300 ms wait.
std::optional<StatusLampReading> FetchStatusLamps(CDeviceContext& ctx);

// Why the link's last read found no reply it could use: the port was not open, a bad CRC, an
// exception, a reply to another request, or no reply at all.
ReadFailure LiveReadFailure(CModbusTransaction& link);

// The phase currents. The CT ratio is taken from `settings` on the window thread when the
// values are decoded, as the window holds it then.
bool ReadPhaseCurrents(CDeviceContext& ctx, const ProtectionSettings* settings, LiveValues* live);

// The phase voltages.
bool ReadPhaseVoltages(CDeviceContext& ctx, LiveValues* live);

// The eight digital inputs.
bool ReadDigitalInputs(CDeviceContext& ctx, LiveValues* live);

// Outputs A, B and reset.
bool ReadOutputStates(CDeviceContext& ctx, LiveValues* live);

// The status byte that feeds the status lamps.
bool ReadStatusLamps(CDeviceContext& ctx, LiveValues* live);

}  // namespace mp
