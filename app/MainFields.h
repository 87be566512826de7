#pragma once
// Every value the main window binds to its controls. The window thread owns it; device
// operations change it only through closures they hand to the window thread.

#include <string>

#include "maintenance/CalibrationGrid.h"
#include "monitoring/LiveValues.h"
#include "settings/ProtectionSettings.h"

namespace mp {

struct MainFields {
    ProtectionSettings Settings;
    LiveValues Live;
    CalibrationGrid Grid;
    std::string StartModeSelection;  // edit text of the start-mode drop-down
    std::string ConnectionSummary;   // address, port, baud and parity in words
};

}  // namespace mp
