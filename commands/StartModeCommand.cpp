#include "commands/StartModeCommand.h"

#include "modbus/RequestBuilder.h"
#include "settings/SettingsWrite.h"

namespace mp {

int16_t BuildStartModeFrame(TxBuffer& tx, uint8_t address, const std::string& phaseLossTime,
                            int modeIndex) {
    const uint8_t data[2] = {
        static_cast<uint8_t>(TenthsOf(phaseLossTime) & 0xFF),
        static_cast<uint8_t>(modeIndex & 0xFF),
    };
    return BuildWriteRegisters(tx, address, kStartModeWriteRegister, data, 1);
}

void SetStartMode(CDeviceContext& ctx, std::string phaseLossTime, int modeIndex) {
    CModbusTransaction& link = ctx.Link;
    link.WriteSequence(
        BuildStartModeFrame(link.Tx(), link.SlaveAddress(), phaseLossTime, modeIndex),
        kStartModeWaitMs);
}

}  // namespace mp
