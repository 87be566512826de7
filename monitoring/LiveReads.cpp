#include "monitoring/LiveReads.h"

#include <array>

#include "monitoring/LiveDecoders.h"

namespace mp {
namespace {

// The three registers of the response located at p.
std::array<uint16_t, 3> ThreeRegisters(const CModbusTransaction& link, int16_t p) {
    return {link.Register(p, 0), link.Register(p, 1), link.Register(p, 2)};
}

}  // namespace

bool ReadPhaseCurrents(CDeviceContext& ctx, const ProtectionSettings* settings, LiveValues* live) {
    const int16_t p = ctx.Link.ReadSequence(kReadHoldingRegisters, kPhaseCurrentRegister, 3, 200);
    if (p < 0) {
        return false;
    }
    const std::array<uint16_t, 3> raw = ThreeRegisters(ctx.Link, p);
    ctx.Show([settings, live, raw] { DecodePhaseCurrents(*live, settings->CtRatio, raw); });
    return true;
}

bool ReadPhaseVoltages(CDeviceContext& ctx, LiveValues* live) {
    const int16_t p = ctx.Link.ReadSequence(kReadHoldingRegisters, kPhaseVoltageRegister, 3, 300);
    if (p < 0) {
        return false;
    }
    const std::array<uint16_t, 3> raw = ThreeRegisters(ctx.Link, p);
    ctx.Show([live, raw] { DecodePhaseVoltages(*live, raw); });
    return true;
}

bool ReadDigitalInputs(CDeviceContext& ctx, LiveValues* live) {
    const int16_t p = ctx.Link.ReadSequence(kReadDiscreteInputs, 0, 1, 300);
    if (p < 0) {
        return false;
    }
    const uint8_t byte = ctx.Link.DataByte(p, 0);
    ctx.Show([live, byte] { DecodeDigitalInputs(*live, byte); });
    return true;
}

bool ReadOutputStates(CDeviceContext& ctx, LiveValues* live) {
    const int16_t p = ctx.Link.ReadSequence(kReadCoils, 0, 1, 300);
    if (p < 0) {
        return false;
    }
    const uint8_t byte = ctx.Link.DataByte(p, 0);
    ctx.Show([live, byte] { DecodeOutputStates(*live, byte); });
    return true;
}

bool ReadStatusLamps(CDeviceContext& ctx, LiveValues* live) {
    const int16_t p = ctx.Link.ReadSequence(kReadHoldingRegisters, kStatusRegister, 1, 300);
    if (p < 0) {
        return false;
    }
    // Frame byte 4: the register's low byte; the high byte is not used.
    const uint8_t low = ctx.Link.DataByte(p, 1);
    ctx.Show([live, low] { DecodeStatusLamps(*live, low); });
    return true;
}

}  // namespace mp
