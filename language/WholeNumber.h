#pragma once
// A whole number as the operator types it into a field that takes one, or as a JSON file
// holds it.

#include <QJsonValue>
#include <QString>
#include <cstdint>
#include <optional>

namespace mp {

// Optional blanks and sign, digits, optional trailing blanks, within 32 bits; nothing for any
// other text.
std::optional<int32_t> ParseWholeNumber(const QString& text);

// A whole number that a JSON number holds exactly (within ±1e9), or nothing.
std::optional<int> WholeJson(const QJsonValue& value);

}  // namespace mp
