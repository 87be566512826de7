#pragma once
// The calibration grid of the "调试" frame: per row two measurement points and the two
// coefficients.

#include <array>
#include <cstdint>
#include <string>

namespace mp {

enum CalibrationRow : int { kRowA = 0, kRowB, kRowC, kRowPwm, kCalibrationRowCount };
enum CalibrationColumn : int { kX1 = 0, kY1, kX2, kY2 };

struct CalibrationGrid {
    // X1, Y1, X2, Y2 of rows "A/AB相", "B/BC相", "C/CA相", "PWM".
    std::array<std::array<int32_t, 4>, kCalibrationRowCount> Points{};
    std::array<std::string, kCalibrationRowCount> A;  // "a系数"
    std::array<std::string, kCalibrationRowCount> B;  // "b系数"
};

}  // namespace mp
