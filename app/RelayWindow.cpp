#include "app/RelayWindow.h"

#include "app/DiagnosticsWiring.h"
#include "app/FilesWiring.h"
#include "app/TrendWiring.h"
#include "diagnostics/Diagnostics.h"
#include "files/FilesController.h"
#include "line/DeviceLine.h"
#include "trend/TrendController.h"

namespace mp {

CRelayWindow::CRelayWindow(const ConnectionSettings& connection)
    : Relay_(connection.SlaveAddress),
      Window_(Relay_, Dialogs_),
      Controller_(Window_, Dialogs_, connection),
      UserSettings_(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("motor-protector"),
                    QStringLiteral("motor-protector")) {
    Install();
}

CRelayWindow::CRelayWindow(const ConnectionSettings& connection, std::unique_ptr<CDeviceLine> line)
    : Relay_(connection.SlaveAddress),
      Window_(Relay_, Dialogs_),
      Controller_(Window_, Dialogs_, connection, std::move(line)),
      UserSettings_(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("motor-protector"),
                    QStringLiteral("motor-protector")) {
    Install();
}

CRelayWindow::~CRelayWindow() {
    // The capabilities' windows first, then the line's work, before the window goes.
    Diagnostics_.reset();
    Trend_.reset();
    Files_.reset();
    Controller_.Shutdown();
}

void CRelayWindow::Install() {
    Files_ = InstallFiles(Window_, Controller_, FileWindows_, &UserSettings_);
    Trend_ = InstallTrend(Window_, Controller_, Dialogs_);
    Diagnostics_ = InstallDiagnostics(Window_, Controller_, Dialogs_);
}

}  // namespace mp
