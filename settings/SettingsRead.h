#pragma once
// Reading the protection settings from the device: the decoders of the three register blocks
// and the device operations that fetch them, giving their values or handing them to the window.
//
// Block A: registers 0x0150..0x015F (CT ratio, start mode, rated current, start time,
// enables, curve and the current protections). Block B: 0x0154..0x0157 (PWM phase,
// phase-loss time, rated voltage). Block C: 0x0160..0x0162 (voltage protections and the
// contactor breaking current).

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "device/RegisterMap.h"
#include "modbus/DeviceContext.h"
#include "settings/ProtectionSettings.h"

namespace mp {

// Response lengths: address, function, byte count, 2 bytes per register, CRC.
constexpr int kSettingsBlockALength = 5 + 2 * kSettingsBlockACount;  // 37
constexpr int kSettingsBlockBLength = 5 + 2 * kSettingsBlockBCount;  // 13
constexpr int kSettingsBlockCLength = 5 + 2 * kSettingsBlockCCount;  // 11

// Block A as the device holds it: the start-mode and curve texts (nothing for a start mode
// above 2 or a curve index above 12, which leaves the text as it was), the numeric fields and
// the nine protection check states.
struct SettingsBlockA {
    std::optional<std::string> StartModeText;
    std::optional<std::string> CurveSelection;
    std::string CtRatio;
    std::string RatedCurrent;
    std::string StartTime;
    std::string LockedRotorMultiple;
    std::string LockedRotorTime;
    std::string DefiniteTimeMultiple;
    std::string DefiniteTimeTime;
    std::string UnbalancePercent;
    std::string UnbalanceTime;
    std::array<bool, kProtectionCount> Enabled{};
};

// Block B: PWM phase (nothing for a phase index above 2), phase-loss time, rated voltage.
struct SettingsBlockB {
    std::optional<std::string> PwmPhase;
    std::string PhaseLossTime;
    std::string RatedVoltage;
};

// Block C: the voltage protections and the contactor breaking current.
struct SettingsBlockC {
    int OverVoltagePercent = 0;
    int OverVoltageTime = 0;
    int UnderVoltagePercent = 0;
    int UnderVoltageTime = 0;
    int BreakingCurrent = 0;
};

// The values of a located response; `frame` is its first byte.
SettingsBlockA ParseSettingsBlockA(const uint8_t* frame);
SettingsBlockB ParseSettingsBlockB(const uint8_t* frame);
SettingsBlockC ParseSettingsBlockC(const uint8_t* frame);

// Block A into the window's settings, first step: the start-mode and curve texts the block
// has. Second step: the numeric fields and the nine check states. Only the check states
// change; nothing that a click on a check box would do is run.
void ApplySettingsBlockATexts(ProtectionSettings& s, const SettingsBlockA& block);
void ApplySettingsBlockANumbers(ProtectionSettings& s, const SettingsBlockA& block);
void ApplySettingsBlockB(ProtectionSettings& s, const SettingsBlockB& block);
void ApplySettingsBlockC(ProtectionSettings& s, const SettingsBlockC& block);

// A located response's values into `s` (block A: texts first).
void DecodeSettingsBlockA(ProtectionSettings& s, const uint8_t* frame);
void DecodeSettingsBlockB(ProtectionSettings& s, const uint8_t* frame);
void DecodeSettingsBlockC(ProtectionSettings& s, const uint8_t* frame);

// The located responses of the three block reads, with the requests and waits of the reads
// below but nothing shown: block A (500 ms), block B (300 ms), block C (300 ms, without the
// further wait). Nothing when no response was located.
std::optional<std::array<uint8_t, kSettingsBlockALength>> FetchSettingsBlockAFrame(
    CDeviceContext& ctx);
std::optional<std::array<uint8_t, kSettingsBlockBLength>> FetchSettingsBlockBFrame(
    CDeviceContext& ctx);
std::optional<std::array<uint8_t, kSettingsBlockCLength>> FetchSettingsBlockCFrame(
    CDeviceContext& ctx);

// The same reads, giving the block's values on the I/O worker; nothing is shown. Nothing when
// no response was located: a device that did not answer has no values, not zeros.
std::optional<SettingsBlockA> FetchSettingsBlockA(CDeviceContext& ctx);
std::optional<SettingsBlockB> FetchSettingsBlockB(CDeviceContext& ctx);
std::optional<SettingsBlockC> FetchSettingsBlockC(CDeviceContext& ctx);

// The whole settings the device holds, as the read command spaces its blocks: block A, 300 ms,
// block B, 100 ms, block C, 300 ms. A stop between two blocks ends it. Nothing when a block
// went unanswered or the read was stopped; a text whose list position the device reports
// outside its list is left empty.
std::optional<ProtectionSettings> FetchProtectionSettings(CDeviceContext& ctx);

// Reads block A (500 ms wait). When the response is located: the texts are set and shown,
// then the numbers and check boxes are set and shown again (two screen updates). Returns
// false when no response was located; then nothing changes and nothing is shown.
bool ReadSettingsBlockA(CDeviceContext& ctx, ProtectionSettings* settings);

// Reads block B (300 ms wait); one screen update on success, nothing on failure.
bool ReadSettingsBlockB(CDeviceContext& ctx, ProtectionSettings* settings);

// Reads block C with ReadHoldingRegisters and shows what it decoded, then waits a further
// 300 ms. Returns false when no response was located; then, as for blocks A and B, nothing
// changes and nothing is shown.
bool ReadSettingsBlockC(CDeviceContext& ctx, ProtectionSettings* settings);

}  // namespace mp
