#pragma once
// The device's own slave address and baud rate: reading them, and writing new ones after which
// the tool follows the device to its new address and rate.

#include <cstdint>
#include <functional>
#include <string>

#include "modbus/DeviceContext.h"
#include "modbus/FrameBuffers.h"
#include "modbus/Port.h"

namespace mp {

inline constexpr char kCommParamsChangedText[] = "通信参数设置成功!";
// Said instead of opening the change dialog when the device did not answer.
inline constexpr char kCommParamsNoReplyText[] = "设备无应答，未能读取设备的通信参数";

// Registers read back one at a time (low byte each), and the pair written with 0x10.
inline constexpr uint16_t kDeviceAddressRegister = 0x0150;
inline constexpr uint16_t kDeviceBaudRegister = 0x0151;
inline constexpr uint16_t kCommParamWriteRegister = 0x5450;

// Baud codes 0 to 4: "1200", "2400", "4800", "9600", "19200"; "" for any other code.
std::string BaudTextOfCode(int code);
// 1200 -> 0 ... 19200 -> 4; -1 for any other rate.
int BaudCodeOfRate(int rate);

// "子机地址-->" + address + "      波特率-->" + rate.
std::string CommParamSummaryText(int address, int rate);

// The 13-byte write of registers 0x5450 (new address) and 0x5451 (baud code), sent to
// `address`, the device's present one. Returns its length.
int16_t BuildCommParamFrame(TxBuffer& tx, uint8_t address, int newAddress, int code);

// Reads 0x0150, waits 100 ms, reads 0x0151, then posts `done` with the address (low byte of
// 0x0150) and the baud text of the code in 0x0151's low byte. `answered` is false when either
// read found no response; the address and baud text are then 0 and "" and mean nothing.
void ReadDeviceCommParams(
    CDeviceContext& ctx,
    std::function<void(bool answered, int address, std::string baudText)> done);

// Sends the new address and baud code to the device's present address (input discarded
// first, no wait, no reply read). From then on the tool addresses the device by `newAddress`,
// and, when the port is open, moves its own line to `newLine` once the frame has left, so it
// keeps talking at the device's new rate. Posts `done`: lineFollowed is true when the port now
// runs with `newLine`; error carries the port's reason when it could not be changed (empty
// when the port was not open and nothing was sent).
void WriteDeviceCommParams(CDeviceContext& ctx, int newAddress, int baudCode, PortSettings newLine,
                           std::function<void(bool lineFollowed, std::string error)> done);

}  // namespace mp
