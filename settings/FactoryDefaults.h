#pragma once
// The factory values of the protection settings, as the window opens with them and as the
// "恢复保护默认值" command puts them back. Only the window's fields change: nothing is sent.

#include "settings/ProtectionSettings.h"

namespace mp {

// Fills the settings with the factory values and check states in their fixed order
// ("定时限过负荷" cleared with DefiniteTimeTime "0", every other protection ticked) and PwmPhase
// "B相电流". Ticking the boxes here fills no related field. The measurements and lamps are not
// settings: they keep what the device last reported.
void RestoreProtectionDefaults(ProtectionSettings& s);

}  // namespace mp
