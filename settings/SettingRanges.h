#pragma once
// The range the device takes each setting in: one table of every value a settings write
// sends, and the check of the window's values against it before anything is sent.

#include <optional>
#include <string>
#include <vector>

#include "settings/ProtectionSettings.h"

namespace mp {

struct SettingRange {
    const char* Name;
    // The field: a typed text (read as a number, the whole text) or an integer field.
    std::string ProtectionSettings::*Text;
    int ProtectionSettings::*Number;
    double Minimum;
    double Maximum;
    int Decimals;  // digits after the point when the range is shown
    int Scale;     // the wire value is the value times this; the value must be on its step
    bool Word;     // 16 bits on the wire, else one byte
    // While this protection's box is cleared the field may also hold 0 (the box fills 0 into
    // its fields when cleared); kProtectionCount when the range always applies.
    Protection ClearedBox;
    // The text of a value outside the range (a marked text, translated when shown); nullptr for
    // the common one naming field and range.
    const char* OutOfRangeText;
};

// Every value a settings write sends but the check boxes and the two lists, in the order of
// the write's groups.
const std::vector<SettingRange>& SettingRanges();

// The range as shown to the operator, "0.1-25.5", with "，未投入时可为0" when a cleared box
// lets the field hold 0; in the operator's language.
std::string RangeText(const SettingRange& range);

// The step between two values the device can hold: "0.1", "1".
std::string StepText(const SettingRange& range);

// The refusal of the first value in table order that is no number, lies outside its range,
// lies between two steps of the device (12.7 for a whole CT ratio, 0.35 s for tenths) or
// would not fit its byte or word on the wire, in the operator's language; nothing when every
// value may be sent.
std::optional<std::string> CheckSettingRanges(const ProtectionSettings& s);

// The same check of one value alone.
std::optional<std::string> CheckSettingRange(const SettingRange& range,
                                             const ProtectionSettings& s);

// The table's entry of the setting named `name` (one of SettingNames.h), nullptr if none.
const SettingRange* FindSettingRange(const char* name);

}  // namespace mp
