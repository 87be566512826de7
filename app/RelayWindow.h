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

private:
    void Install();

    CMainDialogs Dialogs_;
    CRelay Relay_;
    CMotorProtectorDlg Window_;
    CMainController Controller_;
    CStandardFileWindows FileWindows_;
    QSettings UserSettings_;
    std::unique_ptr<CFilesController> Files_;
    std::unique_ptr<CTrendController> Trend_;
    std::unique_ptr<CDiagnostics> Diagnostics_;
};

}  // namespace mp
