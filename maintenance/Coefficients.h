#pragma once
// The calibration coefficients the device holds: reading them back into the calibration grid
// and resetting the current or voltage ones to a = 1, b = 0.

#include <cstdint>
#include <functional>

#include "language/Text.h"
#include "maintenance/CalibrationGrid.h"
#include "modbus/DeviceContext.h"
#include "modbus/FrameBuffers.h"

namespace mp {

inline constexpr char kCoefficientsReadText[] = QT_TRANSLATE_NOOP("MotorProtector", "序数读取成功");
inline constexpr char kCoefficientsNoReplyText[] =
    QT_TRANSLATE_NOOP("MotorProtector", "设备无应答");
inline constexpr char kCoefficientsResetText[] =
    QT_TRANSLATE_NOOP("MotorProtector", "序数复归成功！");

// First of the seven coefficient registers: PWM a, PWM b, phase a × 10000 for A, B, C, then
// the phase b bytes A, B (0x014D) and C (0x014E hi).
inline constexpr uint16_t kCoefficientRegister = 0x0148;
inline constexpr uint16_t kCoefficientRegisterCount = 7;

// Sets the a and b texts of all four rows from a 0x03 response to the coefficient read that
// starts at rx[0]. The values are shown raw and unsigned ("%d"): a phase a of 10049 stays
// 10049, a b byte of 0xFE is 254.
void DecodeCoefficients(CalibrationGrid& grid, const uint8_t* rx);

// Reads the seven registers and shows them in `grid` (a window-thread field, changed only in
// the show), then posts `done` with true. Without a valid response the grid is neither
// changed nor shown and `done` gets false.
void ReadCoefficients(CDeviceContext& ctx, CalibrationGrid* grid,
                      std::function<void(bool answered)> done);

// The 18-byte calibration frame that sets a = 1 (10000) and b = 0 for all three phases.
int16_t BuildCoefficientResetFrame(TxBuffer& tx, uint8_t address, uint16_t word);

// Send the reset frame for current (word 0x2710) or voltage (0x00DC) as a private command,
// then post `done`, after which the window shows "序数复归成功！". The grid is not changed.
void ResetCurrentCoefficients(CDeviceContext& ctx, std::function<void()> done = {});
void ResetVoltageCoefficients(CDeviceContext& ctx, std::function<void()> done = {});

}  // namespace mp
