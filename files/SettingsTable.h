#pragma once
// Every setting a settings file, the comparison with the device and the commissioning report
// show, in the window's order: its key in the file, its caption, its unit, and how its text
// becomes the value the device holds.

#include <array>
#include <optional>
#include <string>

#include "files/SettingsValues.h"

namespace mp {

enum class SettingKind {
    Whole,      // a decimal number the device takes as its whole part
    Tenths,     // a decimal number the device takes in tenths
    Integer,    // one of the window's integer fields
    Curve,      // a text of CurveList
    Phase,      // a text of PhaseList
    StartMode,  // a text of StartModeNames
};

struct SettingRow {
    const char* Key;      // key in the file's "settings" object: data, never translated
    const char* Caption;  // as the window names it, in Chinese; shown through mp::Tr
    const char* Unit;     // "" when the window shows none; shown through mp::Tr
    SettingKind Kind;
    std::string ProtectionSettings::*Text;  // the field of text rows, else null
    int ProtectionSettings::*Integer;       // the field of integer rows, else null
};

inline constexpr size_t kSettingRowCount = 19;

// The nineteen settings, in the window's order.
const std::array<SettingRow, kSettingRowCount>& SettingRows();

// Key in the file's "protections" object (data) and caption of each protection check box (in
// Chinese, shown through mp::Tr), indexed by Protection.
struct ProtectionRow {
    const char* Key;
    const char* Caption;
};
const std::array<ProtectionRow, kProtectionCount>& ProtectionRows();

// The caption with its unit in the window's language: "额定电流 (A)", "Rated current (A)".
std::string CaptionWithUnit(const SettingRow& row);

// The setting's value as the window shows it.
std::string SettingText(const SettingsValues& values, const SettingRow& row);
// Sets the setting from a text the row accepts (see RefuseSettingText).
void SetSettingText(SettingsValues& values, const SettingRow& row, const std::string& text);

// Why the text cannot be the row's value (in the window's language), or nothing when it can:
// numbers must be decimal numbers ("12", "-3", "0.5"), integers whole numbers in 32 bits, list
// texts entries of their list.
std::optional<std::string> RefuseSettingText(const SettingRow& row, const std::string& text);

// True when the two texts put the same value into the device: "50" and "50.0" do, and so do
// "4.05" and "4.0" of a setting kept in tenths.
bool SameSetting(const SettingRow& row, const std::string& a, const std::string& b);

// True when every setting and check box is the same text or state.
bool SameValues(const SettingsValues& a, const SettingsValues& b);

// The first reason the values cannot be written to the device, or nothing: each text as
// RefuseSettingText, then the write's own validation, then the over-voltage range.
std::optional<std::string> RefuseValues(const SettingsValues& values);

// "投入" for a ticked protection, "退出" for a cleared one; shown through mp::Tr.
const char* ProtectionStateText(bool enabled);

}  // namespace mp
