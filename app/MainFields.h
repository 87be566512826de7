#pragma once
// Every value the main window binds to its controls: the values of the relay it shows, and
// the window's own texts. The window thread owns them; device operations change them only
// through closures they hand to the window thread.

#include <string>

#include "relay/RelayValues.h"

namespace mp {

struct MainFields {
    explicit MainFields(RelayValues& relay)
        : Settings(relay.Settings), Live(relay.Live), Grid(relay.Grid) {}

    ProtectionSettings& Settings;
    LiveValues& Live;
    CalibrationGrid& Grid;
    std::string StartModeSelection;  // edit text of the start-mode drop-down
    std::string ConnectionSummary;   // address, port, baud and parity in words
};

}  // namespace mp
