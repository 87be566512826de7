#pragma once
// The comparison of the device's settings with the window's (or a file's): one row per
// setting and protection check box with the device's value, the window's value and the
// factory value, marked where the device holds a different value from the window's.

#include <QString>
#include <vector>

#include "files/SettingsValues.h"

namespace mp {

// What the operator chose in the comparison window.
enum class ComparisonChoice { Close, TakeDevice, TakeFile };

struct ComparisonRow {
    QString Caption;  // with its unit
    QString Device;
    QString Window;
    QString Default;  // empty when the setting has no factory value
    bool Differs = false;
};

// Everything the comparison window shows.
struct ComparisonView {
    std::vector<ComparisonRow> Rows;
    QString DeviceHeader;  // the device and its connection
    QString WindowHeader;  // "窗口", or the file the window's values came from
    QString Records;       // the file's write records, one per line; empty without any
    bool CanTakeFile = false;

    int Differences() const;
};

// The text shown for a device's list setting it reported outside its list.
extern const char* const kNotInListText;  // "（无效值）"

// The nineteen settings then the nine check boxes. A setting differs when writing the
// window's text would leave the device with another value ("50" and "50.0" do not differ).
std::vector<ComparisonRow> CompareSettings(const SettingsValues& device,
                                           const SettingsValues& window);

// The factory values (the start mode has none: it is set by its own command).
SettingsValues FactoryValues();

// The device's values as they go into the window: a list setting the device reported outside
// its list keeps the window's text.
SettingsValues DeviceValuesForWindow(const SettingsValues& device, const SettingsValues& window);

}  // namespace mp
