#include "settings/NumberText.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace mp {

int32_t AtoI(const std::string& text) {
    size_t k = 0;
    while (k < text.size() && std::isspace(static_cast<unsigned char>(text[k]))) {
        ++k;
    }
    bool negative = false;
    if (k < text.size() && (text[k] == '+' || text[k] == '-')) {
        negative = text[k] == '-';
        ++k;
    }
    int64_t value = 0;
    for (; k < text.size() && std::isdigit(static_cast<unsigned char>(text[k])); ++k) {
        value = value * 10 + (text[k] - '0');
        if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) {
            value = int64_t{std::numeric_limits<int32_t>::max()} + 1;
        }
    }
    value = negative ? -value : value;
    if (value > std::numeric_limits<int32_t>::max()) {
        return std::numeric_limits<int32_t>::max();
    }
    return static_cast<int32_t>(value);
}

double AtoF(const std::string& text) {
    // strtod also reads "inf", "nan" and hexadecimal numbers, which atof on the device's
    // original platform did not: keep to decimal digits.
    size_t k = 0;
    while (k < text.size() && std::isspace(static_cast<unsigned char>(text[k]))) {
        ++k;
    }
    size_t end = k;
    if (end < text.size() && (text[end] == '+' || text[end] == '-')) {
        ++end;
    }
    const size_t digitsStart = end;
    while (end < text.size() &&
           (std::isdigit(static_cast<unsigned char>(text[end])) || text[end] == '.')) {
        ++end;
    }
    if (end == digitsStart) {
        return 0.0;
    }
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        size_t exp = end + 1;
        if (exp < text.size() && (text[exp] == '+' || text[exp] == '-')) {
            ++exp;
        }
        if (exp < text.size() && std::isdigit(static_cast<unsigned char>(text[exp]))) {
            while (exp < text.size() && std::isdigit(static_cast<unsigned char>(text[exp]))) {
                ++exp;
            }
            end = exp;
        }
    }
    const std::string number = text.substr(k, end - k);
    const double value = std::strtod(number.c_str(), nullptr);
    return std::isfinite(value) ? value : 0.0;
}

std::optional<double> WholeTextNumber(const std::string& text) {
    size_t k = 0;
    auto blank = [&text](size_t at) {
        return std::isspace(static_cast<unsigned char>(text[at])) != 0;
    };
    while (k < text.size() && blank(k)) {
        ++k;
    }
    const size_t start = k;
    if (k < text.size() && (text[k] == '+' || text[k] == '-')) {
        ++k;
    }
    size_t digits = 0;
    size_t points = 0;
    for (; k < text.size() && !blank(k); ++k) {
        if (std::isdigit(static_cast<unsigned char>(text[k]))) {
            ++digits;
        } else if (text[k] == '.' && points == 0) {
            ++points;
        } else {
            return std::nullopt;
        }
    }
    const size_t end = k;
    while (k < text.size() && blank(k)) {
        ++k;
    }
    if (digits == 0 || k != text.size()) {
        return std::nullopt;
    }
    const std::string number = text.substr(start, end - start);
    const double value = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

int32_t TruncateToInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483647.0) {
        return std::numeric_limits<int32_t>::max();
    }
    if (value <= -2147483648.0) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(value);
}

std::string FormatFixed(double value, int decimals) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

std::string FormatInt(int64_t value) {
    return std::to_string(value);
}

}  // namespace mp
