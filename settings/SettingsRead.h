#pragma once
// Reading the protection settings from the device: the decoders of the three register blocks
// and the device operations that fetch them and hand the values to the window.
//
// Block A: registers 0x0150..0x015F (CT ratio, start mode, rated current, start time,
// enables, curve and the current protections). Block B: 0x0154..0x0157 (PWM phase,
// phase-loss time, rated voltage). Block C: 0x0160..0x0162 (voltage protections and the
// contactor breaking current).

#include <array>
#include <cstdint>
#include <optional>

#include "device/RegisterMap.h"
#include "modbus/DeviceContext.h"
#include "settings/ProtectionSettings.h"

namespace mp {

// Response lengths: address, function, byte count, 2 bytes per register, CRC.
constexpr int kSettingsBlockALength = 5 + 2 * kSettingsBlockACount;  // 37
constexpr int kSettingsBlockBLength = 5 + 2 * kSettingsBlockBCount;  // 13
constexpr int kSettingsBlockCLength = 5 + 2 * kSettingsBlockCCount;  // 11

// Block A, first step: the start-mode and curve texts. A start mode above 2 or a curve index
// above 12 leaves the text as it was. `frame` is the located response's first byte.
void DecodeSettingsBlockATexts(ProtectionSettings& s, const uint8_t* frame);
// Block A, second step: the numeric fields and the nine protection check states. Only the
// check states change; nothing that a click on a check box would do is run.
void DecodeSettingsBlockANumbers(ProtectionSettings& s, const uint8_t* frame);
// Both steps of block A, texts first.
void DecodeSettingsBlockA(ProtectionSettings& s, const uint8_t* frame);

// Block B: PWM phase (a phase index above 2 leaves the text), phase-loss time, rated voltage.
void DecodeSettingsBlockB(ProtectionSettings& s, const uint8_t* frame);

// Block C from its located response (`frame` is its first byte).
void DecodeSettingsBlockC(ProtectionSettings& s, const uint8_t* frame);

// The located responses of the three block reads, with the requests and waits of the reads
// below but nothing shown: block A (500 ms), block B (300 ms), block C (300 ms, without the
// further wait). Nothing when no response was located.
std::optional<std::array<uint8_t, kSettingsBlockALength>> FetchSettingsBlockA(CDeviceContext& ctx);
std::optional<std::array<uint8_t, kSettingsBlockBLength>> FetchSettingsBlockB(CDeviceContext& ctx);
std::optional<std::array<uint8_t, kSettingsBlockCLength>> FetchSettingsBlockC(CDeviceContext& ctx);

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
