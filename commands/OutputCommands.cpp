#include "commands/OutputCommands.h"

#include <initializer_list>
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

// Shows the lamps of the given outputs in one state at once.
void ShowLamps(CDeviceContext& ctx, LiveValues* live, std::initializer_list<OutputCoil> coils,
               Lamp lamp) {
    ctx.Show([live, coils = std::vector<OutputCoil>(coils), lamp] {
        for (OutputCoil coil : coils) {
            live->Outputs[coil] = lamp;
        }
    });
}

void CloseOutput(CDeviceContext& ctx, LiveValues* live, OutputCoil coil) {
    SendCoil(ctx, coil, true);
    ShowLamps(ctx, live, {coil}, Lamp::Red);
    ctx.Sleep(kOutputSettleMs);
    ReadOutputStates(ctx, live);
    ctx.Show();
}

void OpenOutput(CDeviceContext& ctx, LiveValues* live, OutputCoil coil) {
    SendCoil(ctx, coil, false);
    // An open command does not read the outputs back: the lamp keeps the commanded state
    // until the next output read.
    ShowLamps(ctx, live, {coil}, Lamp::Green);
}

}  // namespace

int16_t BuildOutputFrame(TxBuffer& tx, uint8_t address, OutputCoil coil, bool close) {
    return BuildWriteCoil(tx, address, coil, close);
}

void CloseOutputA(CDeviceContext& ctx, LiveValues* live) {
    CloseOutput(ctx, live, kOutputA);
}
void OpenOutputA(CDeviceContext& ctx, LiveValues* live) {
    OpenOutput(ctx, live, kOutputA);
}
void CloseOutputB(CDeviceContext& ctx, LiveValues* live) {
    CloseOutput(ctx, live, kOutputB);
}
void OpenOutputB(CDeviceContext& ctx, LiveValues* live) {
    OpenOutput(ctx, live, kOutputB);
}

void ResetOutputs(CDeviceContext& ctx, LiveValues* live) {
    SendCoil(ctx, kResetOutput, false);
    ShowLamps(ctx, live, {kResetOutput}, Lamp::Green);
    ShowLamps(ctx, live, {kOutputB, kOutputA}, Lamp::Green);
    ctx.Sleep(kOutputSettleMs);
    ReadOutputStates(ctx, live);
}

}  // namespace mp
