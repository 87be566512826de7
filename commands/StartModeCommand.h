#pragma once
// The start-mode command: one write of register 0x5455, whose high byte is the phase-loss
// time in tenths of a second and whose low byte is the start mode (0 "直接起动",
// 1 "双向可逆起动", 2 "星三角起动"). The reply is not read and nothing is shown.

#include <cstdint>
#include <string>

#include "modbus/DeviceContext.h"
#include "modbus/FrameBuffers.h"

namespace mp {

constexpr uint16_t kStartModeWriteRegister = 0x5455;
constexpr uint32_t kStartModeWaitMs = 100;

// Request (11 bytes). The phase-loss text is read as a number (0 when it holds none), in
// tenths truncated toward zero; both bytes carry the low 8 bits, so no selection (-1) sends
// 0xFF as the mode.
int16_t BuildStartModeFrame(TxBuffer& tx, uint8_t address, const std::string& phaseLossTime,
                            int modeIndex);

// Runs on the I/O worker: sends the frame and waits 100 ms.
void SetStartMode(CDeviceContext& ctx, std::string phaseLossTime, int modeIndex);

}  // namespace mp
