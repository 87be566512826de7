#pragma once
// One relay's window with everything it brings: the relay, the window, its controller and
// the capabilities' windows wired to it (files, trend, diagnostics). The program's single
// relay and every relay opened from a plant are one of these.

#include <QObject>
#include <QSettings>
#include <memory>

#include "app/MainController.h"
#include "app/MainDialogs.h"
#include "app/MotorProtectorDlg.h"
#include "files/StandardFileWindows.h"
#include "relay/Relay.h"
#include "starts/StartsController.h"

namespace mp {

class CDiagnostics;
class CFilesController;
class CTrendController;

class CRelayWindow {
public:
    // The relay at the connection's address, on its own line (a serial port or the built-in
    // device).
    explicit CRelayWindow(const ConnectionSettings& connection);
    // The relay on a plant's line: `line` is its share of that line.
    CRelayWindow(const ConnectionSettings& connection, std::unique_ptr<CDeviceLine> line);
    ~CRelayWindow();

    CMotorProtectorDlg& Window() { return Window_; }
    CMainController& Controller() { return Controller_; }
    CTrendController& Trend() { return *Trend_; }
    CDiagnostics& Diagnostics() { return *Diagnostics_; }
    CStartsController& Starts() { return *Starts_; }
    // The relay is a feeder of the plant in `plantPath` on its line `lineId`: its starts are
    // kept beside the plant file under its tag, its COMTRADE files name the plant and the tag,
    // and its changes go to the plant's audit log under the tag and the line.
    void SetPlantFeeder(const QString& plantPath, const QString& plantName, const QString& tag,
                        const QString& lineId = {});

private:
    void Install();
    StartsPlace Place() const;

    CMainDialogs Dialogs_;
    CRelay Relay_;
    CMotorProtectorDlg Window_;
    CMainController Controller_;
    CStandardFileWindows FileWindows_;
    QSettings UserSettings_;
    std::unique_ptr<CFilesController> Files_;
    std::unique_ptr<CTrendController> Trend_;
    std::unique_ptr<CDiagnostics> Diagnostics_;
    std::unique_ptr<CStartsController> Starts_;
    QString PlantPath_;
    QString PlantName_;
    QString Tag_;
};

}  // namespace mp
