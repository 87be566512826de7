#include "app/CommParamChange.h"

#include <iterator>

#include "language/Text.h"
#include "modbus/RequestBuilder.h"

namespace mp {
namespace {

constexpr int kBaudRates[] = {1200, 2400, 4800, 9600, 19200};
constexpr uint32_t kBetweenReadsMs = 100;

}  // namespace

std::string BaudTextOfCode(int code) {
    if (code < 0 || code >= static_cast<int>(std::size(kBaudRates))) {
        return {};
    }
    return std::to_string(kBaudRates[code]);
}

int BaudCodeOfRate(int rate) {
    for (int code = 0; code < static_cast<int>(std::size(kBaudRates)); ++code) {
        if (kBaudRates[code] == rate) {
            return code;
        }
    }
    return -1;
}

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

void ReadDeviceCommParams(
    CDeviceContext& ctx,
    std::function<void(bool answered, int address, std::string baudText)> done) {
    const bool addressRead = ctx.Link.ReadHoldingRegisters(kDeviceAddressRegister, 1);
    const int address = addressRead ? ctx.Link.Rx()[4] : 0;
    ctx.Sleep(kBetweenReadsMs);
    const bool baudRead = ctx.Link.ReadHoldingRegisters(kDeviceBaudRegister, 1);
    std::string baudText = baudRead ? BaudTextOfCode(ctx.Link.Rx()[4]) : std::string();
    const bool answered = addressRead && baudRead;
    if (done) {
        ctx.Post([done = std::move(done), answered, address, baudText = std::move(baudText)] {
            done(answered, address, baudText);
        });
    }
}

void WriteDeviceCommParams(CDeviceContext& ctx, int newAddress, int baudCode, PortSettings newLine,
                           std::function<void(bool lineFollowed, std::string error)> done) {
    CModbusTransaction& link = ctx.Link;
    const int16_t length =
        BuildCommParamFrame(link.Tx(), link.SlaveAddress(), newAddress, baudCode);
    link.WriteSequence(length, 0);
    link.SetSlaveAddress(static_cast<uint8_t>(newAddress));

    bool lineFollowed = false;
    std::string error;
    IPort& port = link.Port();
    if (port.IsPortOpen()) {
        // Waits until the frame has left at the old rate before the line changes.
        lineFollowed = port.Reconfigure(newLine);
        if (!lineFollowed) {
            error = port.LastError();
        }
    }
    if (done) {
        ctx.Post([done = std::move(done), lineFollowed, error = std::move(error)] {
            done(lineFollowed, error);
        });
    }
}

}  // namespace mp
