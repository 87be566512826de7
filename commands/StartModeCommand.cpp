#include "commands/StartModeCommand.h"

#include "language/Text.h"
#include "modbus/RequestBuilder.h"
#include "settings/SettingsWrite.h"

namespace mp {

const char* const kStartModeNotHeldText = QT_TRANSLATE_NOOP(
    "MotorProtector", "起动方式已发送，但设备读回的不是所设的值：起动方式未设置。");
const char* const kStartModeUnconfirmedText =
    QT_TRANSLATE_NOOP("MotorProtector", "起动方式已发送，但设备无应答，未能读回确认。");
const char* const kStartModeNotSentText = QT_TRANSLATE_NOOP(
    "MotorProtector", "设备无应答，未能读取设备的缺相时间：起动方式未设置，未发送任何数据。");

namespace {

constexpr uint32_t kAfterReadMs = 100;

}  // namespace

int16_t BuildStartModeFrame(TxBuffer& tx, uint8_t address, const std::string& phaseLossTime,
                            int modeIndex) {
    const uint8_t data[2] = {
        static_cast<uint8_t>(TenthsOf(phaseLossTime) & 0xFF),
        static_cast<uint8_t>(modeIndex & 0xFF),
    };
    return BuildWriteRegisters(tx, address, kStartModeWriteRegister, data, 1);
}

StartModeResult SetStartMode(CDeviceContext& ctx, std::optional<std::string> typedPhaseLossTime,
                             int modeIndex, std::function<void(StartModeResult)> done) {
    CModbusTransaction& link = ctx.Link;
    StartModeResult result;
    bool send = true;
    uint8_t data[2] = {0, static_cast<uint8_t>(modeIndex & 0xFF)};
    if (typedPhaseLossTime) {
        data[0] = static_cast<uint8_t>(TenthsOf(*typedPhaseLossTime) & 0xFF);
    } else if (link.ReadHoldingRegisters(kStartModeReadRegister, 1)) {
        data[0] = link.Rx()[3];  // the device's phase-loss time, written back unchanged
        ctx.Sleep(kAfterReadMs);
    } else {
        send = false;
    }
    if (send) {
        link.WriteSequence(
            BuildWriteRegisters(link.Tx(), link.SlaveAddress(), kStartModeWriteRegister, data, 1),
            kStartModeWaitMs);
        if (link.ReadHoldingRegisters(kStartModeReadRegister, 1)) {
            result.HeldMode = link.Rx()[4];
            result.Outcome = link.Rx()[3] == data[0] && link.Rx()[4] == data[1]
                                 ? StartModeOutcome::Confirmed
                                 : StartModeOutcome::NotHeld;
        } else {
            result.Outcome = StartModeOutcome::Unconfirmed;
        }
    }
    if (done) {
        ctx.Post([done = std::move(done), result] { done(result); });
    }
    return result;
}

}  // namespace mp
