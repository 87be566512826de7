#include "settings/SettingsRead.h"

#include <algorithm>
#include <array>

#include "settings/NumberText.h"
#include "settings/SettingsLists.h"

namespace mp {
namespace {

uint16_t Word(const uint8_t* frame, int at) {
    return static_cast<uint16_t>(frame[at] << 8 | frame[at + 1]);
}

// A value the device keeps in tenths, shown with one decimal.
std::string Tenths(unsigned value) {
    return FormatFixed(value * 0.1, 1);
}

// Copies the located response out of the receive buffer, so that the window thread decodes
// it after the worker has gone on to the next exchange.
template <int Length>
std::array<uint8_t, Length> TakeFrame(const CModbusTransaction& link, int16_t p) {
    std::array<uint8_t, Length> frame{};
    std::copy_n(link.Rx().begin() + p, Length, frame.begin());
    return frame;
}

}  // namespace

void DecodeSettingsBlockATexts(ProtectionSettings& s, const uint8_t* frame) {
    const uint8_t startMode = frame[14];
    if (startMode < StartModeNames.size()) {
        s.StartModeText = StartModeNames[startMode];
    }
    const uint8_t curve = frame[26];
    if (curve < CurveList.size()) {
        s.CurveSelection = CurveList[curve];
    }
}

void DecodeSettingsBlockANumbers(ProtectionSettings& s, const uint8_t* frame) {
    s.CtRatio = FormatFixed(Word(frame, 9), 0);
    s.RatedCurrent = Tenths(Word(frame, 19));
    s.StartTime = FormatFixed(Word(frame, 21), 0);
    s.LockedRotorMultiple = Tenths(frame[27]);
    s.LockedRotorTime = Tenths(frame[28]);
    s.DefiniteTimeMultiple = Tenths(frame[29]);
    s.DefiniteTimeTime = FormatInt(frame[30]);
    s.UnbalancePercent = FormatInt(frame[31]);
    s.UnbalanceTime = Tenths(frame[32]);
    SetProtectionsFromBytes(s.Enabled, frame[23], frame[24]);
}

void DecodeSettingsBlockA(ProtectionSettings& s, const uint8_t* frame) {
    DecodeSettingsBlockATexts(s, frame);
    DecodeSettingsBlockANumbers(s, frame);
}

void DecodeSettingsBlockB(ProtectionSettings& s, const uint8_t* frame) {
    const uint8_t phase = frame[4];
    if (phase < PhaseList.size()) {
        s.PwmPhase = PhaseList[phase];
    }
    s.PhaseLossTime = Tenths(frame[5]);
    s.RatedVoltage = FormatFixed(Word(frame, 9), 0);
}

void DecodeSettingsBlockC(ProtectionSettings& s, const uint8_t* frame) {
    s.OverVoltagePercent = frame[3];
    s.OverVoltageTime = frame[4];
    s.UnderVoltagePercent = frame[5];
    s.UnderVoltageTime = frame[6];
    s.BreakingCurrent = Word(frame, 7);
}

std::optional<std::array<uint8_t, kSettingsBlockALength>> FetchSettingsBlockA(CDeviceContext& ctx) {
    const int16_t p = ctx.Link.ReadSequence(kReadHoldingRegisters, kSettingsBlockAStart,
                                            kSettingsBlockACount, 500);
    if (p < 0) {
        return std::nullopt;
    }
    return TakeFrame<kSettingsBlockALength>(ctx.Link, p);
}

std::optional<std::array<uint8_t, kSettingsBlockBLength>> FetchSettingsBlockB(CDeviceContext& ctx) {
    const int16_t p = ctx.Link.ReadSequence(kReadHoldingRegisters, kSettingsBlockBStart,
                                            kSettingsBlockBCount, 300);
    if (p < 0) {
        return std::nullopt;
    }
    return TakeFrame<kSettingsBlockBLength>(ctx.Link, p);
}

std::optional<std::array<uint8_t, kSettingsBlockCLength>> FetchSettingsBlockC(CDeviceContext& ctx) {
    // A located frame is moved to position 0.
    if (!ctx.Link.ReadHoldingRegisters(kSettingsBlockCStart, kSettingsBlockCCount)) {
        return std::nullopt;
    }
    return TakeFrame<kSettingsBlockCLength>(ctx.Link, 0);
}

bool ReadSettingsBlockA(CDeviceContext& ctx, ProtectionSettings* settings) {
    const auto frame = FetchSettingsBlockA(ctx);
    if (!frame) {
        return false;
    }
    ctx.Show([settings, f = *frame] { DecodeSettingsBlockATexts(*settings, f.data()); });
    ctx.Show([settings, f = *frame] { DecodeSettingsBlockANumbers(*settings, f.data()); });
    return true;
}

bool ReadSettingsBlockB(CDeviceContext& ctx, ProtectionSettings* settings) {
    const auto frame = FetchSettingsBlockB(ctx);
    if (!frame) {
        return false;
    }
    ctx.Show([settings, f = *frame] { DecodeSettingsBlockB(*settings, f.data()); });
    return true;
}

bool ReadSettingsBlockC(CDeviceContext& ctx, ProtectionSettings* settings) {
    const auto frame = FetchSettingsBlockC(ctx);
    if (frame) {
        ctx.Show([settings, f = *frame] { DecodeSettingsBlockC(*settings, f.data()); });
    }
    ctx.Sleep(300);
    return frame.has_value();
}

}  // namespace mp
