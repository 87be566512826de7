#pragma once
// Two-point calibration of the device's current and voltage measurements, and the PWM output
// coefficients: the line fit, the private 0x12 frames that carry the coefficients, and the
// operations that send them.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "device/RegisterMap.h"
#include "language/Text.h"
#include "maintenance/CalibrationGrid.h"
#include "maintenance/Coefficients.h"
#include "modbus/DeviceContext.h"
#include "modbus/FrameBuffers.h"

namespace mp {

inline constexpr char kCurrentCalibratedText[] =
    QT_TRANSLATE_NOOP("MotorProtector", "电流设置成功！");
inline constexpr char kVoltageCalibratedText[] =
    QT_TRANSLATE_NOOP("MotorProtector", "电压设置成功！");
inline constexpr char kPwmOutputSentText[] = QT_TRANSLATE_NOOP("MotorProtector", "PWM输出设置成功");

// The line y = A·x + B.
struct LineFit {
    double A;
    double B;
};

// The line through (x1, y1) and (x2, y2); nothing when x1 == x2, which no line y = a·x + b
// passes through. Differences and products are taken in 64 bits, so no point wraps.
std::optional<LineFit> FitCoefficients(int32_t x1, int32_t y1, int32_t x2, int32_t y2);

// a × 10000 as the device stores it: the nearest whole number (1.005 -> 10050), never
// truncated.
int32_t SlopeInteger(double a);

// The intercept as the device stores it: for x >= 0 the nearest integer with exact halves
// going down (2.5 -> 2, 2.6 -> 3); for negative x truncated toward zero (-2.7 -> -2).
int32_t InterceptInteger(double x);

// Row caption as the grid shows it: "A/AB相", "B/BC相", "C/CA相", "PWM"; a marked text
// (language/Text.h), shown through mp::Tr.
std::string CalibrationRowName(int row);

// Fits the rows "A/AB相", "B/BC相" and "C/CA相" in this order, sets each row's a and b texts
// to what the device will store (a "%.4f" of SlopeInteger / 10000, b "%d" of
// InterceptInteger) and fills `fits`. When a row has X1 == X2, or a line the device cannot
// store (a × 10000 outside 0-65535, b outside 0-255: it keeps b in one unsigned byte),
// nothing is changed and the message naming that row is returned, in the operator's
// language.
std::optional<std::string> PrepareCalibration(CalibrationGrid& grid, std::array<LineFit, 3>& fits);

// The 18-byte calibration frame: per phase SlopeInteger(a) (its low 16 bits, high byte first)
// and the low 8 bits of InterceptInteger(b). Returns its length.
int16_t BuildCalibrationFrame(TxBuffer& tx, uint8_t address, uint16_t word,
                              const std::array<LineFit, 3>& fits);

// The PWM output coefficients are whole numbers 0 to 65535, each text as a whole: the refusal
// naming the first ("PWM a系数", then "PWM b系数") that is not one, or nothing when both may
// be sent. The refusal is in the operator's language.
std::optional<std::string> CheckPwmCoefficients(const std::string& aText, const std::string& bText);

// The 13-byte PWM output frame: a and b read from the texts as whole numbers (atoi), each
// sent as its low 16 bits, high byte first. Returns its length.
int16_t BuildPwmFrame(TxBuffer& tx, uint8_t address, const std::string& aText,
                      const std::string& bText);

// Each sends its frame as a private command (no discard before, no wait, no reply read),
// then confirms it where the device can give the values back: the current coefficients and
// the PWM output are read back from the seven coefficient registers after 300 ms; the device
// gives no voltage coefficients back. Posts `done` with how it was confirmed.
void CalibrateCurrent(CDeviceContext& ctx, std::array<LineFit, 3> fits, CoefficientDone done = {});
void CalibrateVoltage(CDeviceContext& ctx, std::array<LineFit, 3> fits, CoefficientDone done = {});
void SendPwmOutput(CDeviceContext& ctx, std::string aText, std::string bText,
                   CoefficientDone done = {});

}  // namespace mp
