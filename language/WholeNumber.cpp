#include "language/WholeNumber.h"

#include <cmath>
#include <limits>

namespace mp {
namespace {

bool IsBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

}  // namespace

std::optional<int32_t> ParseWholeNumber(const QString& text) {
    int pos = 0;
    const int size = static_cast<int>(text.size());
    while (pos < size && IsBlank(text[pos])) {
        ++pos;
    }
    bool negative = false;
    if (pos < size && (text[pos] == QLatin1Char('+') || text[pos] == QLatin1Char('-'))) {
        negative = text[pos] == QLatin1Char('-');
        ++pos;
    }
    const int firstDigit = pos;
    int64_t magnitude = 0;
    while (pos < size && text[pos] >= QLatin1Char('0') && text[pos] <= QLatin1Char('9')) {
        magnitude = magnitude * 10 + (text[pos].unicode() - '0');
        if (magnitude > int64_t{std::numeric_limits<int32_t>::max()} + 1) {
            return std::nullopt;
        }
        ++pos;
    }
    if (pos == firstDigit) {
        return std::nullopt;
    }
    while (pos < size && IsBlank(text[pos])) {
        ++pos;
    }
    if (pos != size) {
        return std::nullopt;
    }
    const int64_t value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}

std::optional<int> WholeJson(const QJsonValue& value) {
    if (!value.isDouble()) {
        return std::nullopt;
    }
    const double number = value.toDouble();
    if (!std::isfinite(number) || number != std::floor(number) || std::fabs(number) > 1e9) {
        return std::nullopt;
    }
    return static_cast<int>(number);
}

}  // namespace mp
