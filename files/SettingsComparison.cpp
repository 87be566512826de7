#include "files/SettingsComparison.h"

#include "files/SettingsTable.h"
#include "monitoring/LiveValues.h"
#include "settings/FactoryDefaults.h"

namespace mp {

const char* const kNotInListText = "（无效值）";

namespace {

bool ListKind(SettingKind kind) {
    return kind == SettingKind::Curve || kind == SettingKind::Phase ||
           kind == SettingKind::StartMode;
}

QString Shown(const SettingRow& row, const std::string& text) {
    if (text.empty() && ListKind(row.Kind)) {
        return QString::fromUtf8(kNotInListText);
    }
    return QString::fromStdString(text);
}

}  // namespace

int ComparisonView::Differences() const {
    int count = 0;
    for (const ComparisonRow& row : Rows) {
        count += row.Differs ? 1 : 0;
    }
    return count;
}

std::vector<ComparisonRow> CompareSettings(const SettingsValues& device,
                                           const SettingsValues& window) {
    const SettingsValues factory = FactoryValues();
    std::vector<ComparisonRow> rows;
    for (const SettingRow& setting : SettingRows()) {
        const std::string deviceText = SettingText(device, setting);
        const std::string windowText = SettingText(window, setting);
        const std::string factoryText = SettingText(factory, setting);
        ComparisonRow row;
        row.Caption = QString::fromStdString(CaptionWithUnit(setting));
        row.Device = Shown(setting, deviceText);
        row.Window = QString::fromStdString(windowText);
        row.Default = QString::fromStdString(factoryText);
        row.Differs = !SameSetting(setting, deviceText, windowText);
        rows.push_back(row);
    }
    for (int k = 0; k < kProtectionCount; ++k) {
        const auto at = static_cast<size_t>(k);
        const bool onDevice = device.Protection.Enabled[at];
        const bool inWindow = window.Protection.Enabled[at];
        ComparisonRow row;
        row.Caption = QString::fromUtf8(ProtectionRows()[at].Caption);
        row.Device = QString::fromUtf8(ProtectionStateText(onDevice));
        row.Window = QString::fromUtf8(ProtectionStateText(inWindow));
        row.Default = QString::fromUtf8(ProtectionStateText(factory.Protection.Enabled[at]));
        row.Differs = onDevice != inWindow;
        rows.push_back(row);
    }
    return rows;
}

SettingsValues FactoryValues() {
    SettingsValues values;
    LiveValues live;
    RestoreProtectionDefaults(values.Protection, live);
    return values;
}

SettingsValues DeviceValuesForWindow(const SettingsValues& device, const SettingsValues& window) {
    SettingsValues taken = device;
    for (const SettingRow& row : SettingRows()) {
        if (ListKind(row.Kind) && SettingText(device, row).empty()) {
            SetSettingText(taken, row, SettingText(window, row));
        }
    }
    return taken;
}

}  // namespace mp
