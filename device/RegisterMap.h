#pragma once
// The relay's register map: every address, block length and command word the tool and the
// simulated device use, named once. Holding registers are read with function 0x03 and written
// with 0x10 at the read address plus kWriteOffset; the contactor outputs are coils (0x01 to
// read, 0x05 to write) and the digital inputs discrete inputs (0x02); calibration and PWM
// frames are private commands (0x12). The function codes themselves are the protocol's
// (modbus/FrameBuffers.h), which sits below this map.

#include <cstdint>

#include "modbus/FrameBuffers.h"

namespace mp {

// Live values.
inline constexpr uint16_t kPhaseVoltageRegister = 0x0103;  // A, B, C in tenths of a volt
inline constexpr uint16_t kPhaseVoltageCount = 3;
inline constexpr uint16_t kPhaseCurrentRegister = 0x0106;  // A, B, C, scaled by the CT ratio
inline constexpr uint16_t kPhaseCurrentCount = 3;
inline constexpr uint16_t kStatusRegister = 0x011B;  // low byte: eight status bits
inline constexpr uint16_t kStatusCount = 1;
inline constexpr uint16_t kOutputCoil = 0;     // outputs A, B and reset in bits 0..2
inline constexpr uint16_t kInputDiscrete = 0;  // DI1..DI8 in one byte

// Stored events: 0x0124 hi is their number, 0x0120 .. 0x0123 two codes each, hi first.
inline constexpr uint16_t kEventCodeRegister = 0x0120;
inline constexpr uint16_t kEventCountRegister = 0x0124;

// Calibration coefficients: PWM a, PWM b, phase a × 10000 for A, B, C, then the phase b bytes
// A, B (0x014D) and C (0x014E hi).
inline constexpr uint16_t kCoefficientRegister = 0x0148;
inline constexpr uint16_t kCoefficientRegisterCount = 7;

// The device's own slave address and baud code (low byte of each).
inline constexpr uint16_t kDeviceAddressRegister = 0x0150;
inline constexpr uint16_t kDeviceBaudRegister = 0x0151;
inline constexpr uint16_t kCommParamCount = 2;  // the pair, as one read or one write

// The three blocks of protection settings. A: 0x0150..0x015F (CT ratio, start mode, rated
// current, start time, enables, curve, current protections). B: 0x0154..0x0157 (PWM phase,
// phase-loss time, rated voltage). C: 0x0160..0x0162 (voltage protections, breaking current).
// Block A begins with the address and baud code and reads them along with the settings.
inline constexpr uint16_t kSettingsBlockAStart = kDeviceAddressRegister;
inline constexpr uint16_t kSettingsBlockACount = 16;
inline constexpr uint16_t kSettingsBlockBStart = 0x0154;
inline constexpr uint16_t kSettingsBlockBCount = 4;
inline constexpr uint16_t kSettingsBlockCStart = 0x0160;
inline constexpr uint16_t kSettingsBlockCCount = 3;
// Phase-loss time (hi, tenths of a second) and start mode (lo).
inline constexpr uint16_t kStartModeReadRegister = 0x0155;

// A holding register is written at its read address plus this offset.
inline constexpr uint16_t kWriteOffset = 0x5300;
// New slave address (0x5450) and baud code (0x5451), written as one pair.
inline constexpr uint16_t kCommParamWriteRegister = kDeviceAddressRegister + kWriteOffset;
// Write start registers of the six settings groups.
inline constexpr uint16_t kCtRatioWriteRegister = 0x5453;
inline constexpr uint16_t kPhaseAndStartWriteRegister = 0x5454;
inline constexpr uint16_t kRatingsWriteRegister = 0x5457;
inline constexpr uint16_t kProtectionsWriteRegister = 0x545A;
inline constexpr uint16_t kVoltageWriteRegister = 0x5460;
inline constexpr uint16_t kBreakingCurrentWriteRegister = 0x5462;
inline constexpr uint16_t kStartModeWriteRegister = kStartModeReadRegister + kWriteOffset;

// Word in bytes 4 and 5 of a private command: calibration coefficients for current or for
// voltage, or the PWM output.
inline constexpr uint16_t kCurrentCalibrationWord = 0x2710;
inline constexpr uint16_t kVoltageCalibrationWord = 0x00DC;
inline constexpr uint16_t kPwmOutputWord = 0x4E20;

static_assert(kCommParamWriteRegister == 0x5450, "address/baud pair is written at 0x5450");
static_assert(kStartModeWriteRegister == 0x5455, "start mode is written at 0x5455");
static_assert(kCtRatioWriteRegister == 0x0153 + kWriteOffset, "CT ratio is register 0x0153");
static_assert(kVoltageWriteRegister == kSettingsBlockCStart + kWriteOffset,
              "voltage group starts block C");

}  // namespace mp
