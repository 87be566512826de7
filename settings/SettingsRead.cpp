#include "settings/SettingsRead.h"

#include <algorithm>
#include <array>

#include "settings/NumberText.h"
#include "settings/SettingsLists.h"

namespace mp {
namespace {

// The waits after each block in a read of the whole settings; block C's is that of its read.
constexpr uint32_t kAfterBlockAMs = 300;
constexpr uint32_t kAfterBlockBMs = 100;
constexpr uint32_t kAfterBlockCMs = 300;

uint16_t Word(const uint8_t* frame, int at) {
    return static_cast<uint16_t>(frame[at] << 8 | frame[at + 1]);
}

// A value the device keeps in tenths, shown with one decimal.
std::string Tenths(unsigned value) {
    return FormatFixed(value * 0.1, 1);
}

// Copies the located response out of the receive buffer before the next exchange reuses it.
template <int Length>
std::array<uint8_t, Length> TakeFrame(const CModbusTransaction& link, int16_t p) {
    std::array<uint8_t, Length> frame{};
    std::copy_n(link.Rx().begin() + p, Length, frame.begin());
    return frame;
}

}  // namespace

SettingsBlockA ParseSettingsBlockA(const uint8_t* frame) {
    SettingsBlockA block;
    const uint8_t startMode = frame[14];
    if (startMode < StartModeNames.size()) {
        block.StartModeText = StartModeNames[startMode];
    }
    const uint8_t curve = frame[26];
    if (curve < CurveList.size()) {
        block.CurveSelection = CurveList[curve];
    }
    block.CtRatio = FormatFixed(Word(frame, 9), 0);
    block.RatedCurrent = Tenths(Word(frame, 19));
    block.StartTime = FormatFixed(Word(frame, 21), 0);
    block.LockedRotorMultiple = Tenths(frame[27]);
    block.LockedRotorTime = Tenths(frame[28]);
    block.DefiniteTimeMultiple = Tenths(frame[29]);
    block.DefiniteTimeTime = FormatInt(frame[30]);
    block.UnbalancePercent = FormatInt(frame[31]);
    block.UnbalanceTime = Tenths(frame[32]);
    SetProtectionsFromBytes(block.Enabled, frame[23], frame[24]);
    return block;
}

SettingsBlockB ParseSettingsBlockB(const uint8_t* frame) {
    SettingsBlockB block;
    const uint8_t phase = frame[4];
    if (phase < PhaseList.size()) {
        block.PwmPhase = PhaseList[phase];
    }
    block.PhaseLossTime = Tenths(frame[5]);
    block.RatedVoltage = FormatFixed(Word(frame, 9), 0);
    return block;
}

SettingsBlockC ParseSettingsBlockC(const uint8_t* frame) {
    SettingsBlockC block;
    block.OverVoltagePercent = frame[3];
    block.OverVoltageTime = frame[4];
    block.UnderVoltagePercent = frame[5];
    block.UnderVoltageTime = frame[6];
    block.BreakingCurrent = Word(frame, 7);
    return block;
}

void ApplySettingsBlockATexts(ProtectionSettings& s, const SettingsBlockA& block) {
    if (block.StartModeText) {
        s.StartModeText = *block.StartModeText;
    }
    if (block.CurveSelection) {
        s.CurveSelection = *block.CurveSelection;
    }
}

void ApplySettingsBlockANumbers(ProtectionSettings& s, const SettingsBlockA& block) {
    s.CtRatio = block.CtRatio;
    s.RatedCurrent = block.RatedCurrent;
    s.StartTime = block.StartTime;
    s.LockedRotorMultiple = block.LockedRotorMultiple;
    s.LockedRotorTime = block.LockedRotorTime;
    s.DefiniteTimeMultiple = block.DefiniteTimeMultiple;
    s.DefiniteTimeTime = block.DefiniteTimeTime;
    s.UnbalancePercent = block.UnbalancePercent;
    s.UnbalanceTime = block.UnbalanceTime;
    s.Enabled = block.Enabled;
}

void ApplySettingsBlockB(ProtectionSettings& s, const SettingsBlockB& block) {
    if (block.PwmPhase) {
        s.PwmPhase = *block.PwmPhase;
    }
    s.PhaseLossTime = block.PhaseLossTime;
    s.RatedVoltage = block.RatedVoltage;
}

void ApplySettingsBlockC(ProtectionSettings& s, const SettingsBlockC& block) {
    s.OverVoltagePercent = block.OverVoltagePercent;
    s.OverVoltageTime = block.OverVoltageTime;
    s.UnderVoltagePercent = block.UnderVoltagePercent;
    s.UnderVoltageTime = block.UnderVoltageTime;
    s.BreakingCurrent = block.BreakingCurrent;
}

void DecodeSettingsBlockA(ProtectionSettings& s, const uint8_t* frame) {
    const SettingsBlockA block = ParseSettingsBlockA(frame);
    ApplySettingsBlockATexts(s, block);
    ApplySettingsBlockANumbers(s, block);
}

void DecodeSettingsBlockB(ProtectionSettings& s, const uint8_t* frame) {
    ApplySettingsBlockB(s, ParseSettingsBlockB(frame));
}

void DecodeSettingsBlockC(ProtectionSettings& s, const uint8_t* frame) {
    ApplySettingsBlockC(s, ParseSettingsBlockC(frame));
}

std::optional<std::array<uint8_t, kSettingsBlockALength>> FetchSettingsBlockAFrame(
    CDeviceContext& ctx) {
    const int16_t p = ctx.Link.ReadSequence(kReadHoldingRegisters, kSettingsBlockAStart,
                                            kSettingsBlockACount, 500);
    if (p < 0) {
        return std::nullopt;
    }
    return TakeFrame<kSettingsBlockALength>(ctx.Link, p);
}

std::optional<std::array<uint8_t, kSettingsBlockBLength>> FetchSettingsBlockBFrame(
    CDeviceContext& ctx) {
    const int16_t p = ctx.Link.ReadSequence(kReadHoldingRegisters, kSettingsBlockBStart,
                                            kSettingsBlockBCount, 300);
    if (p < 0) {
        return std::nullopt;
    }
    return TakeFrame<kSettingsBlockBLength>(ctx.Link, p);
}

std::optional<std::array<uint8_t, kSettingsBlockCLength>> FetchSettingsBlockCFrame(
    CDeviceContext& ctx) {
    // A located frame is moved to position 0.
    if (!ctx.Link.ReadHoldingRegisters(kSettingsBlockCStart, kSettingsBlockCCount)) {
        return std::nullopt;
    }
    return TakeFrame<kSettingsBlockCLength>(ctx.Link, 0);
}

std::optional<SettingsBlockA> FetchSettingsBlockA(CDeviceContext& ctx) {
    const auto frame = FetchSettingsBlockAFrame(ctx);
    if (!frame) {
        return std::nullopt;
    }
    return ParseSettingsBlockA(frame->data());
}

std::optional<SettingsBlockB> FetchSettingsBlockB(CDeviceContext& ctx) {
    const auto frame = FetchSettingsBlockBFrame(ctx);
    if (!frame) {
        return std::nullopt;
    }
    return ParseSettingsBlockB(frame->data());
}

std::optional<SettingsBlockC> FetchSettingsBlockC(CDeviceContext& ctx) {
    const auto frame = FetchSettingsBlockCFrame(ctx);
    if (!frame) {
        return std::nullopt;
    }
    return ParseSettingsBlockC(frame->data());
}

std::optional<ProtectionSettings> FetchProtectionSettings(CDeviceContext& ctx) {
    const std::optional<SettingsBlockA> a = FetchSettingsBlockA(ctx);
    if (!a) {
        return std::nullopt;
    }
    ctx.Sleep(kAfterBlockAMs);
    if (ctx.Stopped()) {
        return std::nullopt;
    }
    const std::optional<SettingsBlockB> b = FetchSettingsBlockB(ctx);
    if (!b) {
        return std::nullopt;
    }
    ctx.Sleep(kAfterBlockBMs);
    if (ctx.Stopped()) {
        return std::nullopt;
    }
    const std::optional<SettingsBlockC> c = FetchSettingsBlockC(ctx);
    ctx.Sleep(kAfterBlockCMs);
    if (!c) {
        return std::nullopt;
    }
    ProtectionSettings settings;
    ApplySettingsBlockATexts(settings, *a);
    ApplySettingsBlockANumbers(settings, *a);
    ApplySettingsBlockB(settings, *b);
    ApplySettingsBlockC(settings, *c);
    return settings;
}

bool ReadSettingsBlockA(CDeviceContext& ctx, ProtectionSettings* settings) {
    const std::optional<SettingsBlockA> block = FetchSettingsBlockA(ctx);
    if (!block) {
        return false;
    }
    ctx.Show([settings, b = *block] { ApplySettingsBlockATexts(*settings, b); });
    ctx.Show([settings, b = *block] { ApplySettingsBlockANumbers(*settings, b); });
    return true;
}

bool ReadSettingsBlockB(CDeviceContext& ctx, ProtectionSettings* settings) {
    const std::optional<SettingsBlockB> block = FetchSettingsBlockB(ctx);
    if (!block) {
        return false;
    }
    ctx.Show([settings, b = *block] { ApplySettingsBlockB(*settings, b); });
    return true;
}

bool ReadSettingsBlockC(CDeviceContext& ctx, ProtectionSettings* settings) {
    const std::optional<SettingsBlockC> block = FetchSettingsBlockC(ctx);
    if (block) {
        ctx.Show([settings, b = *block] { ApplySettingsBlockC(*settings, b); });
    }
    ctx.Sleep(kAfterBlockCMs);
    return block.has_value();
}

}  // namespace mp
