#pragma once
// Settings for the settings tests: a complete, valid set of window values, and every field
// as one list so that a comparison shows which one differs.

#include <QStringList>

#include "settings/FactoryDefaults.h"

namespace mp::test {

// Each value written the way the window formats it: the factory values with CT ratio 50
// and rated current 15.0.
inline ProtectionSettings WindowSettings() {
    ProtectionSettings s;
    RestoreProtectionDefaults(s);
    s.CtRatio = "50";
    s.RatedCurrent = "15.0";
    s.StartModeText = "直接起动";
    return s;
}

// Values that neither a factory value nor a check-box fill has: every text "77" but the start
// mode "星三角起动", every integer 77, only "定时限过负荷" ticked.
inline ProtectionSettings OtherSettings() {
    ProtectionSettings s;
    for (std::string* text :
         {&s.CtRatio, &s.RatedCurrent, &s.RatedVoltage, &s.StartTime, &s.LockedRotorMultiple,
          &s.LockedRotorTime, &s.DefiniteTimeMultiple, &s.DefiniteTimeTime, &s.UnbalancePercent,
          &s.UnbalanceTime, &s.CurveSelection, &s.PhaseLossTime, &s.PwmPhase}) {
        *text = "77";
    }
    s.StartModeText = "星三角起动";
    s.BreakingCurrent = s.OverVoltagePercent = s.OverVoltageTime = 77;
    s.UnderVoltagePercent = s.UnderVoltageTime = 77;
    s.Enabled[kDefiniteTime] = true;
    return s;
}

// The texts in declaration order (the six stepped fields at 5 to 10), the integers, then the
// nine check states as "ticked" or "cleared".
inline QStringList FieldList(const ProtectionSettings& s) {
    QStringList fields;
    for (const std::string* text :
         {&s.CtRatio, &s.RatedCurrent, &s.RatedVoltage, &s.StartTime, &s.StartModeText,
          &s.LockedRotorMultiple, &s.LockedRotorTime, &s.DefiniteTimeMultiple, &s.DefiniteTimeTime,
          &s.UnbalancePercent, &s.UnbalanceTime, &s.CurveSelection, &s.PhaseLossTime,
          &s.PwmPhase}) {
        fields << QString::fromStdString(*text);
    }
    for (int value : {s.BreakingCurrent, s.OverVoltagePercent, s.OverVoltageTime,
                      s.UnderVoltagePercent, s.UnderVoltageTime}) {
        fields << QString::number(value);
    }
    for (bool enabled : s.Enabled) {
        fields << (enabled ? "ticked" : "cleared");
    }
    return fields;
}

}  // namespace mp::test
