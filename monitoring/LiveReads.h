#pragma once
// The five live reads. Each runs one read sequence on the I/O worker; when the response is
// located it hands the decoded values to the window in one screen update, marking them fresh,
// and when it is not it leaves them as they are and marks them stale (handed over without a
// screen update of its own). Each returns whether the response was located.

#include <cstdint>

#include "device/RegisterMap.h"
#include "modbus/DeviceContext.h"
#include "monitoring/LiveValues.h"
#include "settings/ProtectionSettings.h"

namespace mp {

// Registers 0x0106..0x0108, 200 ms wait. The CT ratio is taken from `settings` on the window
// thread when the values are decoded, as the window holds it then.
bool ReadPhaseCurrents(CDeviceContext& ctx, const ProtectionSettings* settings, LiveValues* live);

// Registers 0x0103..0x0105, 300 ms wait.
bool ReadPhaseVoltages(CDeviceContext& ctx, LiveValues* live);

// Function 0x02 from input 0, quantity 1, 300 ms wait; the data byte carries DI1..DI8.
bool ReadDigitalInputs(CDeviceContext& ctx, LiveValues* live);

// Function 0x01 from coil 0, quantity 1, 300 ms wait; bits 0..2 are outputs A, B and reset.
bool ReadOutputStates(CDeviceContext& ctx, LiveValues* live);

// Register 0x011B, 300 ms wait; its low byte feeds the status lamps.
bool ReadStatusLamps(CDeviceContext& ctx, LiveValues* live);

}  // namespace mp
