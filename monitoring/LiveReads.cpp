#include "monitoring/LiveReads.h"

#include <chrono>

#include "monitoring/LiveDecoders.h"

namespace mp {
namespace {

// The three registers of the response located at p.
std::array<uint16_t, 3> ThreeRegisters(const CModbusTransaction& link, int16_t p) {
    return {link.Register(p, 0), link.Register(p, 1), link.Register(p, 2)};
}

// The group's values stay as they are and are marked stale: now, because nothing came back
// or nothing could be sent.
bool Missed(CDeviceContext& ctx, LiveValues* live, LiveGroup group) {
    const ReadFailure reason = LiveReadFailure(ctx.Link);
    const int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
    ctx.Post([live, group, reason, now] { live->Freshness.MarkMissed(group, reason, now); });
    return false;
}

}  // namespace

std::optional<PhaseCurrentReading> FetchPhaseCurrents(CDeviceContext& ctx) {
    const int16_t p = ctx.Link.ReadSequence(kReadHoldingRegisters, kPhaseCurrentRegister,
                                            kPhaseCurrentCount, 200);
    if (p < 0) {
        return std::nullopt;
    }
    return PhaseCurrentReading{ThreeRegisters(ctx.Link, p)};
}

std::optional<PhaseVoltageReading> FetchPhaseVoltages(CDeviceContext& ctx) {
    const int16_t p = ctx.Link.ReadSequence(kReadHoldingRegisters, kPhaseVoltageRegister,
                                            kPhaseVoltageCount, 300);
    if (p < 0) {
        return std::nullopt;
    }
    return PhaseVoltageReading{ThreeRegisters(ctx.Link, p)};
}

std::optional<DigitalInputReading> FetchDigitalInputs(CDeviceContext& ctx) {
    const int16_t p = ctx.Link.ReadSequence(kReadDiscreteInputs, kInputDiscrete, 1, 300);
    if (p < 0) {
        return std::nullopt;
    }
    return DigitalInputReading{ctx.Link.DataByte(p, 0)};
}

std::optional<OutputStateReading> FetchOutputStates(CDeviceContext& ctx) {
    const int16_t p = ctx.Link.ReadSequence(kReadCoils, kOutputCoil, 1, 300);
    if (p < 0) {
        return std::nullopt;
    }
    return OutputStateReading{ctx.Link.DataByte(p, 0)};
}

std::optional<StatusLampReading> FetchStatusLamps(CDeviceContext& ctx) {
    const int16_t p =
        ctx.Link.ReadSequence(kReadHoldingRegisters, kStatusRegister, kStatusCount, 300);
    if (p < 0) {
        return std::nullopt;
    }
    // Frame byte 4: the register's low byte.
    return StatusLampReading{ctx.Link.DataByte(p, 1)};
}

ReadFailure LiveReadFailure(CModbusTransaction& link) {
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

bool ReadPhaseCurrents(CDeviceContext& ctx, const ProtectionSettings* settings, LiveValues* live) {
    const std::optional<PhaseCurrentReading> read = FetchPhaseCurrents(ctx);
    if (!read) {
        return Missed(ctx, live, LiveGroup::Currents);
    }
    ctx.Show([settings, live, raw = read->Counts] {
        DecodePhaseCurrents(*live, settings->CtRatio, raw);
        live->Freshness.MarkRead(LiveGroup::Currents);
    });
    return true;
}

bool ReadPhaseVoltages(CDeviceContext& ctx, LiveValues* live) {
    const std::optional<PhaseVoltageReading> read = FetchPhaseVoltages(ctx);
    if (!read) {
        return Missed(ctx, live, LiveGroup::Voltages);
    }
    ctx.Show([live, raw = read->Tenths] {
        DecodePhaseVoltages(*live, raw);
        live->Freshness.MarkRead(LiveGroup::Voltages);
    });
    return true;
}

bool ReadDigitalInputs(CDeviceContext& ctx, LiveValues* live) {
    const std::optional<DigitalInputReading> read = FetchDigitalInputs(ctx);
    if (!read) {
        return Missed(ctx, live, LiveGroup::Inputs);
    }
    ctx.Show([live, byte = read->Bits] {
        DecodeDigitalInputs(*live, byte);
        live->Freshness.MarkRead(LiveGroup::Inputs);
    });
    return true;
}

bool ReadOutputStates(CDeviceContext& ctx, LiveValues* live) {
    const std::optional<OutputStateReading> read = FetchOutputStates(ctx);
    if (!read) {
        return Missed(ctx, live, LiveGroup::Outputs);
    }
    ctx.Show([live, byte = read->Bits] {
        DecodeOutputStates(*live, byte);
        live->Freshness.MarkRead(LiveGroup::Outputs);
    });
    return true;
}

bool ReadStatusLamps(CDeviceContext& ctx, LiveValues* live) {
    const std::optional<StatusLampReading> read = FetchStatusLamps(ctx);
    if (!read) {
        return Missed(ctx, live, LiveGroup::StatusLamps);
    }
    ctx.Show([live, low = read->LowByte] {
        DecodeStatusLamps(*live, low);
        live->Freshness.MarkRead(LiveGroup::StatusLamps);
    });
    return true;
}

}  // namespace mp
