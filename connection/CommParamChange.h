#pragma once
// The device's own slave address and baud rate: reading them, and writing new ones after which
// the tool follows the device to its new address and rate.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "device/LineCodes.h"
#include "device/RegisterMap.h"
#include "modbus/DeviceContext.h"
#include "modbus/FrameBuffers.h"
#include "modbus/Port.h"

namespace mp {

// Marked texts (language/Text.h), shown through mp::Tr.
extern const char* const kCommParamsChangedText;  // "通信参数设置成功!"
extern const char* const
    kCommParamsRefusedText;  // "设备未接受新的通信参数，仍在原地址和波特率应答"
extern const char* const kCommParamsNoAnswerText;  // "设备在新、旧通信参数下均无应答，..."
// Said instead of opening the change dialog when the device did not answer.
extern const char* const kCommParamsNoReplyText;

// "子机地址-->" + address + "      波特率-->" + rate.
std::string CommParamSummaryText(int address, int rate);

// The 13-byte write of registers 0x5450 (new address) and 0x5451 (baud code), sent to
// `address`, the device's present one. Returns its length.
int16_t BuildCommParamFrame(TxBuffer& tx, uint8_t address, int newAddress, int code);

// Reads 0x0150, waits 100 ms, reads 0x0151 and gives the address (low byte of 0x0150) and the
// baud code (low byte of 0x0151), on the I/O worker. Nothing when either read found no
// response.
std::optional<DeviceCommParams> FetchDeviceCommParams(CDeviceContext& ctx);

// The same read, posting to `done` the address and the baud text of the code. `answered` is
// false when either read found no response; the address and baud text are then 0 and "" and
// mean nothing.
void ReadDeviceCommParams(
    CDeviceContext& ctx,
    std::function<void(bool answered, int address, std::string baudText)> done);

// How a change of the device's address and rate ended.
enum class CommChangeOutcome {
    Confirmed,   // read back at the new address and rate: the device holds the new values
    Refused,     // the device still answers at its old address and rate
    NoAnswer,    // the device answers at neither: what it holds is not known
    LineFailed,  // the port could not be set to the new rate; `Error` says why
    PortClosed,  // the port is not open: nothing was sent
};

struct CommChangeResult {
    CommChangeOutcome Outcome = CommChangeOutcome::PortClosed;
    std::string Error;  // the port's reason with LineFailed
};

// Sends the new address and baud code to the device's present address (input discarded
// first, no wait, no reply read), moves the line to `newLine` once the frame has left, waits
// for the device to take them and reads 0x0150 and 0x0151 at the new address and rate. Only
// when they hold the new values does the tool stay there (Confirmed); otherwise the line goes
// back to `oldLine` and the present address, where the device is asked again, and the tool
// stays where the device answers. Posts `done` with the outcome and returns it.
CommChangeResult WriteDeviceCommParams(CDeviceContext& ctx, int newAddress, int baudCode,
                                       PortSettings oldLine, PortSettings newLine,
                                       std::function<void(CommChangeResult)> done);

}  // namespace mp
