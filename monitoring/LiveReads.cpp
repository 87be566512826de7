#include "monitoring/LiveReads.h"

#include <array>
#include <chrono>

#include "monitoring/LiveDecoders.h"

namespace mp {
namespace {

// The three registers of the response located at p.
std::array<uint16_t, 3> ThreeRegisters(const CModbusTransaction& link, int16_t p) {
    return {link.Register(p, 0), link.Register(p, 1), link.Register(p, 2)};
}

// Why the link's last read found no reply it could use.
ReadFailure FailureOf(CModbusTransaction& link) {
    if (!link.Port().IsPortOpen()) {
        return ReadFailure::PortClosed;
    }
    switch (link.LastVerdict()) {
        case ReplyVerdict::BadCrc:
            return ReadFailure::BadCrc;
        case ReplyVerdict::Exception:
            return ReadFailure::Exception;
        case ReplyVerdict::Foreign:
            return ReadFailure::WrongReply;
        case ReplyVerdict::Located:
        case ReplyVerdict::NoReply:
            break;
    }
    return ReadFailure::NoReply;
}

// The group's values stay as they are and are marked stale: now, because nothing came back
// or nothing could be sent.
bool Missed(CDeviceContext& ctx, LiveValues* live, LiveGroup group) {
    const ReadFailure reason = FailureOf(ctx.Link);
    const int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
    ctx.Post([live, group, reason, now] { live->Freshness.MarkMissed(group, reason, now); });
    return false;
}

}  // namespace

bool ReadPhaseCurrents(CDeviceContext& ctx, const ProtectionSettings* settings, LiveValues* live) {
    const int16_t p = ctx.Link.ReadSequence(kReadHoldingRegisters, kPhaseCurrentRegister,
                                            kPhaseCurrentCount, 200);
    if (p < 0) {
        return Missed(ctx, live, LiveGroup::Currents);
    }
    const std::array<uint16_t, 3> raw = ThreeRegisters(ctx.Link, p);
    ctx.Show([settings, live, raw] {
        DecodePhaseCurrents(*live, settings->CtRatio, raw);
        live->Freshness.MarkRead(LiveGroup::Currents);
    });
    return true;
}

bool ReadPhaseVoltages(CDeviceContext& ctx, LiveValues* live) {
    const int16_t p = ctx.Link.ReadSequence(kReadHoldingRegisters, kPhaseVoltageRegister,
                                            kPhaseVoltageCount, 300);
    if (p < 0) {
        return Missed(ctx, live, LiveGroup::Voltages);
    }
    const std::array<uint16_t, 3> raw = ThreeRegisters(ctx.Link, p);
    ctx.Show([live, raw] {
        DecodePhaseVoltages(*live, raw);
        live->Freshness.MarkRead(LiveGroup::Voltages);
    });
    return true;
}

bool ReadDigitalInputs(CDeviceContext& ctx, LiveValues* live) {
    const int16_t p = ctx.Link.ReadSequence(kReadDiscreteInputs, kInputDiscrete, 1, 300);
    if (p < 0) {
        return Missed(ctx, live, LiveGroup::Inputs);
    }
    const uint8_t byte = ctx.Link.DataByte(p, 0);
    ctx.Show([live, byte] {
        DecodeDigitalInputs(*live, byte);
        live->Freshness.MarkRead(LiveGroup::Inputs);
    });
    return true;
}

bool ReadOutputStates(CDeviceContext& ctx, LiveValues* live) {
    const int16_t p = ctx.Link.ReadSequence(kReadCoils, kOutputCoil, 1, 300);
    if (p < 0) {
        return Missed(ctx, live, LiveGroup::Outputs);
    }
    const uint8_t byte = ctx.Link.DataByte(p, 0);
    ctx.Show([live, byte] {
        DecodeOutputStates(*live, byte);
        live->Freshness.MarkRead(LiveGroup::Outputs);
    });
    return true;
}

bool ReadStatusLamps(CDeviceContext& ctx, LiveValues* live) {
    const int16_t p =
        ctx.Link.ReadSequence(kReadHoldingRegisters, kStatusRegister, kStatusCount, 300);
    if (p < 0) {
        return Missed(ctx, live, LiveGroup::StatusLamps);
    }
    // Frame byte 4: the register's low byte; the high byte is not used.
    const uint8_t low = ctx.Link.DataByte(p, 1);
    ctx.Show([live, low] {
        DecodeStatusLamps(*live, low);
        live->Freshness.MarkRead(LiveGroup::StatusLamps);
    });
    return true;
}

}  // namespace mp
