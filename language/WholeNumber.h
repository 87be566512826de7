#pragma once
// A whole number as the operator types it into a field that takes one.

#include <QString>
#include <cstdint>
#include <optional>

namespace mp {

// Optional blanks and sign, digits, optional trailing blanks, within 32 bits; nothing for any
// other text.
std::optional<int32_t> ParseWholeNumber(const QString& text);

}  // namespace mp
