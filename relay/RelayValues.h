#pragma once
// The values the tool holds of one relay: its protection settings (as read, or as the
// operator is editing them), its live values with their freshness, and the calibration grid
// with its coefficients. A view of the relay binds them; device operations change them only
// through closures they hand to the window thread.

#include "maintenance/CalibrationGrid.h"
#include "monitoring/LiveValues.h"
#include "settings/ProtectionSettings.h"

namespace mp {

struct RelayValues {
    ProtectionSettings Settings;
    LiveValues Live;
    CalibrationGrid Grid;
};

}  // namespace mp
