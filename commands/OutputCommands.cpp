#include "commands/OutputCommands.h"

#include <vector>

#include "modbus/RequestBuilder.h"
#include "monitoring/LiveReads.h"

namespace mp {
namespace {

// Sends the coil request without waiting: the reply stays in the input until the next
// exchange discards it.
void SendCoil(CDeviceContext& ctx, OutputCoil coil, bool close) {
    CModbusTransaction& link = ctx.Link;
    link.WriteSequence(BuildOutputFrame(link.Tx(), link.SlaveAddress(), coil, close), 0);
}

// After a command: waits for the outputs to switch and shows the states the device reports;
// without a reply the lamps of `coils` show unknown.
bool ConfirmOutputs(CDeviceContext& ctx, LiveValues* live, std::vector<OutputCoil> coils) {
    ctx.Sleep(kOutputSettleMs);
    if (ReadOutputStates(ctx, live)) {
        return true;
    }
    ctx.Show([live, coils] {
        for (OutputCoil coil : coils) {
            live->Outputs[coil] = Lamp::Unknown;
        }
    });
    return false;
}

bool SwitchOutput(CDeviceContext& ctx, LiveValues* live, OutputCoil coil, bool close) {
    SendCoil(ctx, coil, close);
    return ConfirmOutputs(ctx, live, {coil});
}

}  // namespace

int16_t BuildOutputFrame(TxBuffer& tx, uint8_t address, OutputCoil coil, bool close) {
    return BuildWriteCoil(tx, address, coil, close);
}

bool CloseOutputA(CDeviceContext& ctx, LiveValues* live) {
    return SwitchOutput(ctx, live, kOutputA, true);
}
bool OpenOutputA(CDeviceContext& ctx, LiveValues* live) {
    return SwitchOutput(ctx, live, kOutputA, false);
}
bool CloseOutputB(CDeviceContext& ctx, LiveValues* live) {
    return SwitchOutput(ctx, live, kOutputB, true);
}
bool OpenOutputB(CDeviceContext& ctx, LiveValues* live) {
    return SwitchOutput(ctx, live, kOutputB, false);
}

bool ResetOutputs(CDeviceContext& ctx, LiveValues* live) {
    SendCoil(ctx, kResetOutput, false);
    return ConfirmOutputs(ctx, live, {kOutputA, kOutputB, kResetOutput});
}

}  // namespace mp
