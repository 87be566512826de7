#pragma once
// The maintenance password that unlocks the calibration and coefficient buttons.

#include <optional>
#include <string>

#include "language/Text.h"

namespace mp {

inline constexpr char kMaintenancePassword[] = "QK4810";
inline constexpr char kWrongPasswordText[] = QT_TRANSLATE_NOOP("MotorProtector", "密码错误");

// Byte for byte and case-sensitive, without trimming.
bool PasswordMatches(const std::string& entered);

// What an answer of the password window does to the lock. `entry` is empty when the operator
// cancelled. A matching entry unlocks; nothing ever locks again, so a wrong entry while
// unlocked leaves `unlocked` true. Returns the message to show ("密码错误") or nothing.
std::optional<std::string> MaintenanceUnlock(const std::optional<std::string>& entry,
                                             bool& unlocked);

}  // namespace mp
