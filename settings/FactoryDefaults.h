#pragma once
// The factory values of the protection settings, as the window opens with them and as the
// "恢复保护默认值" command puts them back. Only the window's fields change: nothing is sent.

#include "monitoring/LiveValues.h"
#include "settings/ProtectionSettings.h"

namespace mp {

// Fills the settings with the factory values and check states in their fixed order
// ("定时限过负荷" cleared with DefiniteTimeTime "0", every other protection ticked), sets the
// three voltage displays to "0.00", the eight input indicators to their inactive (green)
// picture and PwmPhase to "B相电流". Ticking the boxes here fills no related field.
void RestoreProtectionDefaults(ProtectionSettings& s, LiveValues& live);

}  // namespace mp
