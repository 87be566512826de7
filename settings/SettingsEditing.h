#pragma once
// Editing the protection settings in the window: the up/down steps of six settings with
// their range warning, and the check boxes that fill a typical value into a related field.

#include "settings/ProtectionSettings.h"
#include "settings/StepField.h"

namespace mp {

// The warning given when a step leaves a setting's range; the step is kept all the same.
extern const char* const kRangeWarning;  // "数据不可超出定值范围"

// Step, limits and format of one up/down setting.
struct StepRule {
    double Step;
    double Minimum;
    double Maximum;
    bool Whole;  // shown as "%d" of the truncated value, else "%.1f"
};
StepRule StepRuleOf(StepField field);

// The text of the setting's field.
std::string& StepFieldText(ProtectionSettings& s, StepField field);

// Reads the field's text as a number (0 when it holds none), adds the step (up) or takes it
// away (down) and stores the result as text. Returns true when the result is above the
// maximum after an up step or below the minimum after a down step: the caller then shows
// kRangeWarning. The value is never clamped.
bool StepSetting(ProtectionSettings& s, StepField field, bool up);

// Whether the click on the box fills a field, and so takes every field from the screen first
// so that nothing typed is lost when the window is shown again. "短路保护" and "启动超时"
// fill nothing: they change only their own state and leave the screen as it is.
bool ProtectionClickTakesFields(Protection p);

// The operator clicked a protection box and it is now `checked`: records the state and fills
// the related field with its typical value when ticked or zero when cleared. "短路保护" and
// "启动超时" fill nothing.
void ApplyProtectionClick(ProtectionSettings& s, Protection p, bool checked);

}  // namespace mp
