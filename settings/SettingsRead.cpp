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

void DecodeSettingsBlockC(ProtectionSettings& s, const uint8_t* rx) {
    s.OverVoltagePercent = rx[3];
    s.OverVoltageTime = rx[4];
    s.UnderVoltagePercent = rx[5];
    s.UnderVoltageTime = rx[6];
    s.BreakingCurrent = Word(rx, 7);
}

bool ReadSettingsBlockA(CDeviceContext& ctx, ProtectionSettings* settings) {
    const int16_t p = ctx.Link.ReadSequence(kReadHoldingRegisters, kSettingsBlockAStart,
                                            kSettingsBlockACount, 500);
    if (p < 0) {
        return false;
    }
    const auto frame = TakeFrame<kSettingsBlockALength>(ctx.Link, p);
    ctx.Show([settings, frame] { DecodeSettingsBlockATexts(*settings, frame.data()); });
    ctx.Show([settings, frame] { DecodeSettingsBlockANumbers(*settings, frame.data()); });
    return true;
}

bool ReadSettingsBlockB(CDeviceContext& ctx, ProtectionSettings* settings) {
    const int16_t p = ctx.Link.ReadSequence(kReadHoldingRegisters, kSettingsBlockBStart,
                                            kSettingsBlockBCount, 300);
    if (p < 0) {
        return false;
    }
    const auto frame = TakeFrame<kSettingsBlockBLength>(ctx.Link, p);
    ctx.Show([settings, frame] { DecodeSettingsBlockB(*settings, frame.data()); });
    return true;
}

void ReadSettingsBlockC(CDeviceContext& ctx, ProtectionSettings* settings) {
    // The located frame is moved to position 0; on failure its positions hold zeros.
    ctx.Link.ReadHoldingRegisters(kSettingsBlockCStart, kSettingsBlockCCount);
    const auto rx = TakeFrame<kSettingsBlockCLength>(ctx.Link, 0);
    ctx.Show([settings, rx] { DecodeSettingsBlockC(*settings, rx.data()); });
    ctx.Sleep(300);
}

}  // namespace mp
