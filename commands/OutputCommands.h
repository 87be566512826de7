#pragma once
// The contactor and reset commands: one write-single-coil request each (coil 0 output A,
// coil 1 output B, coil 2 the reset output). The lamps show the commanded state at once;
// the close and reset commands read the real output states back 300 ms later. The device's
// reply to the coil write is never read.

#include <cstdint>

#include "modbus/DeviceContext.h"
#include "modbus/FrameBuffers.h"
#include "monitoring/LiveValues.h"

namespace mp {

// The three coils and their lamps in LiveValues::Outputs.
enum OutputCoil : uint16_t { kOutputA = 0x0000, kOutputB = 0x0001, kResetOutput = 0x0002 };

// Time the device needs to switch an output before it is read back.
constexpr uint32_t kOutputSettleMs = 300;

// Coil request (8 bytes): 0xFF00 to close, 0x0000 to open or reset.
int16_t BuildOutputFrame(TxBuffer& tx, uint8_t address, OutputCoil coil, bool close);

// Each runs on the I/O worker; `live` is the window's live values (not null), changed only
// on the window thread through ctx.Show.
void CloseOutputA(CDeviceContext& ctx, LiveValues* live);
void OpenOutputA(CDeviceContext& ctx, LiveValues* live);
void CloseOutputB(CDeviceContext& ctx, LiveValues* live);
void OpenOutputB(CDeviceContext& ctx, LiveValues* live);
// Writes 0x0000 to the reset coil (never 0xFF00), shows every output open, then reads the
// real states back.
void ResetOutputs(CDeviceContext& ctx, LiveValues* live);

}  // namespace mp
