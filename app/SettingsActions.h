#pragma once
// The protection settings of the main window: the write with its read-back, the factory
// values, the up/down arrows and the protection check boxes.

#include <QObject>

#include "app/WindowActions.h"
#include "settings/ProtectionSettings.h"
#include "settings/StepField.h"

namespace mp {

class CSettingsActions : public QObject {
    Q_OBJECT
public:
    explicit CSettingsActions(WindowActions actions, QObject* parent = nullptr);

    void Write();
    void RestoreDefaults();
    void Step(StepField field, bool up);
    void ProtectionClicked(int protection, bool checked);

signals:
    // A write of which every group was sent and read back, with the values written; their
    // StartModeText is the start mode the device kept (the write leaves it as it was).
    void SettingsWritten(const mp::ProtectionSettings& written);
    void DeviceWritten(const mp::DeviceWrite& write);

private:
    WindowActions A_;
};

}  // namespace mp
