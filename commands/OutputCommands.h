#pragma once
// The contactor and reset commands: one write-single-coil request each (coil 0 output A,
// coil 1 output B, coil 2 the reset output). Every command confirms itself by reading the
// output states back 300 ms later: the lamps show what the device reports, never only what
// was commanded, and the lamps of the outputs a command concerns show unknown when the
// device does not answer. The device's reply to the coil write is never read.

#include <cstdint>

#include "language/Text.h"
#include "modbus/DeviceContext.h"
#include "modbus/FrameBuffers.h"
#include "monitoring/LiveValues.h"

namespace mp {

// The three coils and their lamps in LiveValues::Outputs.
enum OutputCoil : uint16_t { kOutputA = 0x0000, kOutputB = 0x0001, kResetOutput = 0x0002 };

// Time the device needs to switch an output before it is read back.
constexpr uint32_t kOutputSettleMs = 300;

// Status texts: the read-back of a command found no reply; a later one was answered.
inline constexpr char kOutputsUnconfirmedText[] =
    QT_TRANSLATE_NOOP("MotorProtector", "设备无应答，输出状态未确认");
inline constexpr char kOutputsConfirmedText[] =
    QT_TRANSLATE_NOOP("MotorProtector", "输出状态已确认");

// Coil request (8 bytes): 0xFF00 to close, 0x0000 to open or reset.
int16_t BuildOutputFrame(TxBuffer& tx, uint8_t address, OutputCoil coil, bool close);

// Each runs on the I/O worker; `live` is the window's live values (not null), changed only
// on the window thread through ctx.Show. Each returns whether the read-back was answered;
// when it was not, its output's lamp shows unknown.
bool CloseOutputA(CDeviceContext& ctx, LiveValues* live);
bool OpenOutputA(CDeviceContext& ctx, LiveValues* live);
bool CloseOutputB(CDeviceContext& ctx, LiveValues* live);
bool OpenOutputB(CDeviceContext& ctx, LiveValues* live);
// Writes 0x0000 to the reset coil (never 0xFF00), which returns every output to rest, then
// reads the states back; without a reply all three lamps show unknown.
bool ResetOutputs(CDeviceContext& ctx, LiveValues* live);

}  // namespace mp
