#pragma once
// The calibration coefficients the device holds: reading them back into the calibration grid
// and resetting the current or voltage ones to a = 1, b = 0.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "device/RegisterMap.h"
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

// How sent coefficients were confirmed.
enum class CoefficientCheck {
    Confirmed,      // read back: the device holds what was sent
    NotHeld,        // read back: the device holds something else
    NoReply,        // the read-back found no reply: not confirmed
    Unconfirmable,  // the device has no register to read them back from: not confirmed
};

// What the window says of a calibration, PWM output or reset whose frame was sent: `done` is
// said when confirmed; otherwise why it is not. In the operator's language.
std::string CoefficientCheckText(CoefficientCheck check, const char* done);

// After a private frame: gives the device time to store it, reads the seven registers and
// asks `holds` (the data bytes of the reply) whether they hold what was sent.
CoefficientCheck ConfirmCoefficients(CDeviceContext& ctx,
                                     const std::function<bool(const uint8_t* data)>& holds);

// The seven coefficient registers as the device holds them.
struct CoefficientValues {
    uint16_t PwmA = 0;
    uint16_t PwmB = 0;
    std::array<uint16_t, 3> PhaseA{};  // a × 10000 of phases A, B, C
    std::array<uint8_t, 3> PhaseB{};   // b of phases A, B, C, unsigned
};

// The values of a 0x03 response to the coefficient read that starts at rx[0].
CoefficientValues ParseCoefficients(const uint8_t* rx);

// Sets the a and b texts of all four rows. PWM a and b and the phase b bytes are shown raw and
// unsigned ("%d": a b byte of 0xFE is 254); a phase's a in the scale the calibration shows it,
// a × 10000 stored as 10049 is "1.0049" ("%.4f").
void ApplyCoefficients(CalibrationGrid& grid, const CoefficientValues& values);

// Reads the seven registers on the I/O worker and gives their values; nothing is shown.
// Nothing without a valid response.
std::optional<CoefficientValues> FetchCoefficients(CDeviceContext& ctx);

// Reads the seven registers and shows them in `grid` (a window-thread field, changed only in
// the show), then posts `done` with true. Without a valid response the grid is neither
// changed nor shown and `done` gets false.
void ReadCoefficients(CDeviceContext& ctx, CalibrationGrid* grid,
                      std::function<void(bool answered)> done);

// The 18-byte calibration frame that sets a = 1 (10000) and b = 0 for all three phases.
int16_t BuildCoefficientResetFrame(TxBuffer& tx, uint8_t address, uint16_t word);

// Send the reset frame for current (word 0x2710) or voltage (0x00DC) as a private command,
// then post `done` with how it was confirmed: the current coefficients are read back (a =
// 10000 and b = 0 for every phase); the device gives no voltage coefficients back. The grid
// is not changed.
using CoefficientDone = std::function<void(CoefficientCheck)>;
void ResetCurrentCoefficients(CDeviceContext& ctx, CoefficientDone done = {});
void ResetVoltageCoefficients(CDeviceContext& ctx, CoefficientDone done = {});

}  // namespace mp
