#include "settings/SettingsEditing.h"

#include "language/Text.h"
#include "settings/NumberText.h"

namespace mp {

const char* const kRangeWarning = QT_TRANSLATE_NOOP("MotorProtector", "数据不可超出定值范围");

StepRule StepRuleOf(StepField field) {
    switch (field) {
        case StepField::LockedRotorMultiple:
            return {0.1, 1.0, 10.0, false};
        case StepField::LockedRotorTime:
            return {0.1, 0.1, 25.5, false};
        case StepField::DefiniteTimeMultiple:
            return {0.1, 1.0, 6.0, false};
        case StepField::DefiniteTimeTime:
            return {1.0, 1.0, 255.0, true};
        case StepField::UnbalancePercent:
            return {1.0, 20.0, 100.0, true};
        case StepField::UnbalanceTime:
            return {0.1, 0.1, 25.5, false};
    }
    return {0.1, 0.0, 0.0, false};
}

std::string& StepFieldText(ProtectionSettings& s, StepField field) {
    switch (field) {
        case StepField::LockedRotorMultiple:
            return s.LockedRotorMultiple;
        case StepField::LockedRotorTime:
            return s.LockedRotorTime;
        case StepField::DefiniteTimeMultiple:
            return s.DefiniteTimeMultiple;
        case StepField::DefiniteTimeTime:
            return s.DefiniteTimeTime;
        case StepField::UnbalancePercent:
            return s.UnbalancePercent;
        case StepField::UnbalanceTime:
            return s.UnbalanceTime;
    }
    return s.UnbalanceTime;
}

bool StepSetting(ProtectionSettings& s, StepField field, bool up) {
    const StepRule rule = StepRuleOf(field);
    std::string& text = StepFieldText(s, field);
    // Each step starts again from the text, so repeated steps do not drift.
    const double value = up ? AtoF(text) + rule.Step : AtoF(text) - rule.Step;
    text = rule.Whole ? FormatInt(TruncateToInt(value)) : FormatFixed(value, 1);
    return up ? value > rule.Maximum : value < rule.Minimum;
}

bool ProtectionClickTakesFields(Protection p) {
    return p != kShortCircuit && p != kStartTimeout && p >= 0 && p < kProtectionCount;
}

void ApplyProtectionClick(ProtectionSettings& s, Protection p, bool checked) {
    if (p < 0 || p >= kProtectionCount) {
        return;
    }
    s.Enabled[p] = checked;
    switch (p) {
        case kLockedRotor:
            s.LockedRotorTime = checked ? "0.3" : "0";
            break;
        case kDefiniteTime:
            s.DefiniteTimeTime = checked ? "50" : "0";
            break;
        case kUnbalance:
            s.UnbalanceTime = checked ? "2.0" : "0";
            break;
        case kPhaseLoss:
            s.PhaseLossTime = checked ? "0.5" : "0";
            break;
        case kInverseTime:
            s.CurveSelection = checked ? "125" : "0";
            break;
        case kOverVoltage:
            s.OverVoltageTime = checked ? 5 : 0;
            break;
        case kUnderVoltage:
            s.UnderVoltageTime = checked ? 5 : 0;
            break;
        default:
            break;  // "短路保护" and "启动超时" change only their own state
    }
}

}  // namespace mp
