#include "maintenance/MaintenanceUnlock.h"

namespace mp {

bool PasswordMatches(const std::string& entered) {
    return entered == kMaintenancePassword;
}

std::optional<std::string> MaintenanceUnlock(const std::optional<std::string>& entry,
                                             bool& unlocked) {
    if (!entry) {
        return std::nullopt;
    }
    if (!PasswordMatches(*entry)) {
        return std::string(kWrongPasswordText);
    }
    unlocked = true;
    return std::nullopt;
}

}  // namespace mp
