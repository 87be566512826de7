#pragma once
// The main window with its handlers and the "文件" menu, talking to the simulated device on a
// virtual clock; dialogs answered by scripts, files and the recent-file list in a temporary
// folder.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/FilesWiring.h"
#include "app/MainController.h"
#include "app/MotorProtectorDlg.h"
#include "files/FilesController.h"
#include "files/SettingsComparison.h"
#include "files/SettingsTable.h"
#include "relay/Relay.h"
#include "simulator/SimulatedPort.h"
#include "simulator/VirtualClock.h"
#include "support/ScriptedDialogs.h"
#include "support/Widgets.h"

namespace mp::test {

// Object names of the nineteen settings' controls, in the order of SettingRows(), and of the
// nine protection check boxes.
inline const char* const kSettingControls[kSettingRowCount] = {
    "ctRatioEdit",          "ratedCurrentEdit",
    "ratedVoltageEdit",     "startTimeEdit",
    "startModeCombo",       "lockedRotorMultipleEdit",
    "lockedRotorTimeEdit",  "definiteTimeMultipleEdit",
    "definiteTimeTimeEdit", "unbalancePercentEdit",
    "unbalanceTimeEdit",    "curveCombo",
    "phaseLossTimeEdit",    "pwmPhaseCombo",
    "breakingCurrentEdit",  "overVoltagePercentEdit",
    "overVoltageTimeEdit",  "underVoltagePercentEdit",
    "underVoltageTimeEdit"};
inline const char* const kProtectionChecks[kProtectionCount] = {
    "shortCircuitCheck", "lockedRotorCheck", "definiteTimeCheck",
    "unbalanceCheck",    "inverseTimeCheck", "startTimeoutCheck",
    "phaseLossCheck",    "overVoltageCheck", "underVoltageCheck"};

struct CFilesRig {
    // `port` is the port the connection names ("内置模拟设备": the built-in simulated device).
    explicit CFilesRig(QSettings* store = nullptr, const QString& port = QStringLiteral("COM3"))
        : Port(Device, Clock),
          Window(Relay, Dialogs),
          OwnStore(Dir.filePath(QStringLiteral("user.ini")), QSettings::IniFormat) {
        Device.SetLiveMotion(false);
        Connection.PortText = port;
        Connection.PortNumber = port == QLatin1String("COM3") ? 3 : 0;
        Controller = std::make_unique<CMainController>(Window, Dialogs, Connection, Port, Clock);
        Files = InstallFiles(Window, *Controller, FileDialogs, store ? store : &OwnStore);
        Controller->Start();
        if (!QTest::qWaitFor([this] { return Controller->PortOpen(); })) {
            qFatal("the simulated port did not open");
        }
    }
    ~CFilesRig() { Controller->Shutdown(); }

    QString Path(const QString& name) const { return Dir.filePath(name); }
    void Write(const QString& name, const QByteArray& bytes) const {
        QFile file(Path(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            qFatal("cannot write %s", qPrintable(name));
        }
    }
    QByteArray Read(const QString& name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Puts the values into the window's fields and on the screen.
    void Show(const SettingsValues& values) {
        Window.Fields().Settings = values.Protection;
        Window.Fields().StartModeSelection = values.StartMode;
        Window.ShowFields();
    }
    // The settings as the screen shows them: the nineteen texts, then the nine check states.
    QStringList Screen() const {
        QStringList shown;
        for (const char* name : kSettingControls) {
            QWidget* control = Child<QWidget>(Window, QLatin1String(name));
            auto* combo = qobject_cast<QComboBox*>(control);
            shown << (combo ? combo->currentText() : static_cast<QLineEdit*>(control)->text());
        }
        for (const char* name : kProtectionChecks) {
            shown << (Child<QCheckBox>(Window, QLatin1String(name))->isChecked() ? "on" : "off");
        }
        return shown;
    }
    void Trigger(const char* action) { Child<QAction>(Window, QLatin1String(action))->trigger(); }

    QTemporaryDir Dir;
    CVirtualClock Clock{5000};
    CSimulatedDevice Device;
    CSimulatedPort Port;
    CScriptedDialogs Dialogs;
    CScriptedDialogs FileDialogs;
    ConnectionSettings Connection;
    CRelay Relay;
    CMotorProtectorDlg Window;
    QSettings OwnStore;
    std::unique_ptr<CMainController> Controller;
    std::unique_ptr<CFilesController> Files;
};

// The screen as it shows the values (what Screen() returns after Show(values)).
inline QStringList ScreenOf(const SettingsValues& values) {
    QStringList shown;
    for (const SettingRow& row : SettingRows()) {
        shown << QString::fromStdString(SettingText(values, row));
    }
    for (bool enabled : values.Protection.Enabled) {
        shown << (enabled ? "on" : "off");
    }
    return shown;
}

// Values from the nineteen texts in the order of SettingRows() and the nine check states.
inline SettingsValues ValuesOf(const std::array<const char*, kSettingRowCount>& texts,
                               const std::array<bool, kProtectionCount>& enabled) {
    SettingsValues values;
    for (size_t k = 0; k < kSettingRowCount; ++k) {
        SetSettingText(values, SettingRows()[k], texts[k]);
    }
    values.Protection.Enabled = enabled;
    return values;
}

// Values the write accepts that differ from the factory's and the device's in every setting.
inline SettingsValues DistinctValues() {
    return ValuesOf({"120", "32.5", "660", "12", "星三角起动", "5.5", "1.2", "3.1", "40", "45",
                     "3.3", "500", "1.5", "C相电流", "4000", "130", "7", "75", "9"},
                    {true, false, true, false, true, false, true, false, true});
}

// The device's own values as the simulated device starts with them.
inline SettingsValues DeviceStartValues() {
    SettingsValues values = FactoryValues();
    values.Protection.CtRatio = "50";
    values.Protection.RatedCurrent = "15.0";
    values.StartMode = "直接起动";
    return values;
}

}  // namespace mp::test
