#pragma once
// The settings a settings file carries: every protection setting the main window edits, as
// the texts and numbers the window holds, and the start mode chosen in its drop-down.

#include <string>

#include "settings/ProtectionSettings.h"

namespace mp {

struct SettingsValues {
    // The protection settings. StartModeText is the device's start mode as last read and is
    // not one of the values: the start mode the operator chooses is StartMode.
    ProtectionSettings Protection;
    std::string StartMode;  // "起动方式" drop-down, a name of StartModeNames
};

}  // namespace mp
