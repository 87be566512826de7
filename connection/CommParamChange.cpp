#include "connection/CommParamChange.h"

#include "language/Text.h"
#include "modbus/RequestBuilder.h"

namespace mp {
namespace {

constexpr uint32_t kBetweenReadsMs = 100;
// Time the device is given to take a new address and rate before it is asked for them.
constexpr uint32_t kTakeNewParamsMs = 300;

struct HeldParams {
    bool Answered = false;
    int Address = 0;
    int BaudCode = -1;
};

// 0x0150, 100 ms, 0x0151, as the change dialog reads them: the low byte of each.
HeldParams ReadHeldParams(CModbusTransaction& link) {
    HeldParams held;
    const bool addressRead = link.ReadHoldingRegisters(kDeviceAddressRegister, 1);
    held.Address = addressRead ? link.Rx()[4] : 0;
    link.Sleep(kBetweenReadsMs);
    const bool baudRead = link.ReadHoldingRegisters(kDeviceBaudRegister, 1);
    held.BaudCode = baudRead ? link.Rx()[4] : -1;
    held.Answered = addressRead && baudRead;
    return held;
}

}  // namespace

const char* const kCommParamsChangedText = QT_TRANSLATE_NOOP("MotorProtector", "通信参数设置成功!");
const char* const kCommParamsNoReplyText =
    QT_TRANSLATE_NOOP("MotorProtector", "设备无应答，未能读取设备的通信参数");
const char* const kCommParamsRefusedText =
    QT_TRANSLATE_NOOP("MotorProtector", "设备未接受新的通信参数，仍在原地址和波特率应答。");
const char* const kCommParamsNoAnswerText = QT_TRANSLATE_NOOP(
    "MotorProtector",
    "设备在新的和原来的通信参数下均无应答，通信参数设置未确认；程序仍使用原来的地址和波特率。");

std::string CommParamSummaryText(int address, int rate) {
    return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "子机地址-->%1      波特率-->%2")),
                  {std::to_string(address), std::to_string(rate)});
}

int16_t BuildCommParamFrame(TxBuffer& tx, uint8_t address, int newAddress, int code) {
    const uint8_t data[4] = {static_cast<uint8_t>(newAddress >> 8),
                             static_cast<uint8_t>(newAddress), static_cast<uint8_t>(code >> 8),
                             static_cast<uint8_t>(code)};
    return BuildWriteRegisters(tx, address, kCommParamWriteRegister, data, 2);
}

std::optional<DeviceCommParams> FetchDeviceCommParams(CDeviceContext& ctx) {
    const HeldParams held = ReadHeldParams(ctx.Link);
    if (!held.Answered) {
        return std::nullopt;
    }
    return DeviceCommParams{held.Address, held.BaudCode};
}

void ReadDeviceCommParams(
    CDeviceContext& ctx,
    std::function<void(bool answered, int address, std::string baudText)> done) {
    const std::optional<DeviceCommParams> held = FetchDeviceCommParams(ctx);
    std::string baudText = held ? held->BaudText() : std::string();
    const int address = held ? held->Address : 0;
    if (done) {
        ctx.Post([done = std::move(done), answered = held.has_value(), address,
                  baudText = std::move(baudText)] { done(answered, address, baudText); });
    }
}

CommChangeResult WriteDeviceCommParams(CDeviceContext& ctx, int newAddress, int baudCode,
                                       PortSettings oldLine, PortSettings newLine,
                                       std::function<void(CommChangeResult)> done) {
    CModbusTransaction& link = ctx.Link;
    const uint8_t oldAddress = link.SlaveAddress();
    CommChangeResult result;
    if (link.Port().IsPortOpen()) {
        link.WriteSequence(BuildCommParamFrame(link.Tx(), oldAddress, newAddress, baudCode), 0);
        // Waits until the frame has left at the old rate before the line changes.
        if (link.ReconfigureLine(newLine)) {
            link.SetSlaveAddress(static_cast<uint8_t>(newAddress));
            link.Sleep(kTakeNewParamsMs);
            const HeldParams held = ReadHeldParams(link);
            result.Outcome =
                held.Answered && held.Address == newAddress && held.BaudCode == baudCode
                    ? CommChangeOutcome::Confirmed
                    : CommChangeOutcome::NoAnswer;
        } else {
            result.Outcome = CommChangeOutcome::LineFailed;
            result.Error = link.Port().LastError();
        }
        if (result.Outcome != CommChangeOutcome::Confirmed) {
            // Back where the device answered before; it is asked whether it still does.
            link.ReconfigureLine(oldLine);
            link.SetSlaveAddress(oldAddress);
            const bool answersThere = ReadHeldParams(link).Answered;
            if (result.Outcome == CommChangeOutcome::NoAnswer && answersThere) {
                result.Outcome = CommChangeOutcome::Refused;
            }
        }
    }
    if (done) {
        ctx.Post([done = std::move(done), result] { done(result); });
    }
    return result;
}

}  // namespace mp
