#include "settings/FactoryDefaults.h"

namespace mp {

void RestoreProtectionDefaults(ProtectionSettings& s) {
    s.LockedRotorMultiple = "4.0";
    s.LockedRotorTime = "0.5";
    s.DefiniteTimeMultiple = "2.0";
    s.UnbalancePercent = "30";
    s.UnbalanceTime = "5.0";
    s.CtRatio = "1";
    s.RatedCurrent = "1.0";
    s.RatedVoltage = "380";
    s.StartTime = "20";
    s.CurveSelection = "125";
    s.PhaseLossTime = "0.5";
    s.OverVoltagePercent = 120;
    s.OverVoltageTime = 5;
    s.UnderVoltagePercent = 80;
    s.UnderVoltageTime = 5;
    s.BreakingCurrent = 9999;

    s.Enabled[kShortCircuit] = true;
    s.Enabled[kLockedRotor] = true;
    s.Enabled[kDefiniteTime] = false;
    s.DefiniteTimeTime = "0";
    s.Enabled[kUnbalance] = true;
    s.Enabled[kInverseTime] = true;
    s.Enabled[kStartTimeout] = true;
    s.Enabled[kPhaseLoss] = true;
    s.Enabled[kOverVoltage] = true;
    s.Enabled[kUnderVoltage] = true;

    s.PwmPhase = "B相电流";
}

}  // namespace mp
