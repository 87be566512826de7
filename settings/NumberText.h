#pragma once
// Numbers typed by the operator are read the way C's atoi and atof read them: optional
// leading blanks and sign, then the leading decimal number, 0 when there is none. Numbers
// shown go through printf-style formats.

#include <cstdint>
#include <optional>
#include <string>

namespace mp {

// Leading whole number of the text (blanks, sign, digits); 0 without one. Saturates at the
// 32-bit limits instead of overflowing.
int32_t AtoI(const std::string& text);

// Leading decimal number of the text (blanks, sign, digits, point, exponent); 0 without one.
double AtoF(const std::string& text);

// The number the whole text holds: optional blanks and sign, decimal digits with at most one
// point, optional blanks; nothing when the text is anything else ("x9.5", "9.5x", "", "1e3").
std::optional<double> WholeTextNumber(const std::string& text);

// Truncates toward zero into 32 bits, saturating; NaN gives 0.
int32_t TruncateToInt(double value);

// printf "%.Nf".
std::string FormatFixed(double value, int decimals);

// printf "%d".
std::string FormatInt(int64_t value);

}  // namespace mp
