#pragma once
// How the relay's registers carry measured and set values, where the scale is a plain number.

namespace mp {

// A phase current register × CT ratio × this = amperes.
inline constexpr double kCurrentPerCtRatio = 0.001;
// A phase voltage register × this = volts.
inline constexpr double kVoltsPerUnit = 0.1;
// A calibration slope a is stored as a × this.
inline constexpr double kCoefficientScale = 10000.0;
// Times and rated currents kept in tenths: register value / this.
inline constexpr double kTenthsPerUnit = 10.0;

}  // namespace mp
