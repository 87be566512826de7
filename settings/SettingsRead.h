#pragma once
// Reading the protection settings from the device: the decoders of the three register blocks
// and the device operations that fetch them and hand the values to the window.
//
// Block A: registers 0x0150..0x015F (CT ratio, start mode, rated current, start time,
// enables, curve and the current protections). Block B: 0x0154..0x0157 (PWM phase,
// phase-loss time, rated voltage). Block C: 0x0160..0x0162 (voltage protections and the
// contactor breaking current).

#include <cstdint>

#include "modbus/DeviceContext.h"
#include "settings/ProtectionSettings.h"

namespace mp {

constexpr uint16_t kSettingsBlockAStart = 0x0150;
constexpr uint16_t kSettingsBlockACount = 16;
constexpr uint16_t kSettingsBlockBStart = 0x0154;
constexpr uint16_t kSettingsBlockBCount = 4;
constexpr uint16_t kSettingsBlockCStart = 0x0160;
constexpr uint16_t kSettingsBlockCCount = 3;

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

// Block C from the receive buffer as ReadHoldingRegisters leaves it: the frame at position 0,
// or zeros when none was located, which gives 0 in all five fields.
void DecodeSettingsBlockC(ProtectionSettings& s, const uint8_t* rx);

// Reads block A (500 ms wait). When the response is located: the texts are set and shown,
// then the numbers and check boxes are set and shown again (two screen updates). Returns
// false when no response was located; then nothing changes and nothing is shown.
bool ReadSettingsBlockA(CDeviceContext& ctx, ProtectionSettings* settings);

// Reads block B (300 ms wait); one screen update on success, nothing on failure.
bool ReadSettingsBlockB(CDeviceContext& ctx, ProtectionSettings* settings);

// Reads block C with ReadHoldingRegisters, shows what it decoded (zeros when the device did
// not answer), then waits a further 300 ms.
void ReadSettingsBlockC(CDeviceContext& ctx, ProtectionSettings* settings);

}  // namespace mp
