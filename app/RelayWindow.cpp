#include "app/RelayWindow.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>

#include "app/DiagnosticsWiring.h"
#include "app/FilesWiring.h"
#include "app/TrendWiring.h"
#include "audit/AuditLogDlg.h"
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
    Starts_.reset();
    Trend_.reset();
    Files_.reset();
    Controller_.Shutdown();
}

void CRelayWindow::Install() {
    // A relay of its own logs its changes in the program's data folder, under its port.
    Relay_.Audit().UseLog(CAuditLog::DefaultPath());
    Files_ = InstallFiles(Window_, Controller_, FileWindows_, &UserSettings_);
    Trend_ = InstallTrend(Window_, Controller_, Dialogs_);
    Diagnostics_ = InstallDiagnostics(Window_, Controller_, Dialogs_);
    Starts_ = InstallStarts(*Trend_, Window_, Dialogs_, [this] { return Place(); });
    // "文件" > "审计日志...": the log this relay's changes go to.
    QAction* audit = Files_->Menu()->addAction(CAuditLogDlg::MenuText());
    audit->setObjectName(QStringLiteral("actionAuditLog"));
    QObject::connect(audit, &QAction::triggered, &Window_,
                     [this] { CAuditLogDlg::Show(Relay_.Audit().LogPath(), Dialogs_, &Window_); });
    QObject::connect(&Window_, &CMotorProtectorDlg::LanguageChanged, audit,
                     [audit] { audit->setText(CAuditLogDlg::MenuText()); });
}

void CRelayWindow::SetPlantFeeder(const QString& plantPath, const QString& plantName,
                                  const QString& tag, const QString& lineId) {
    PlantPath_ = plantPath;
    PlantName_ = plantName.isEmpty() ? QFileInfo(plantPath).completeBaseName() : plantName;
    if (PlantName_.isEmpty()) {
        PlantName_ = tag;
    }
    Tag_ = tag;
    Relay_.Audit().UseLog(CAuditLog::PlantPath(plantPath));
    Relay_.Audit().SetTag(tag);
    Relay_.Audit().SetLine(lineId);
}

StartsPlace CRelayWindow::Place() const {
    StartsPlace place;
    if (!Tag_.isEmpty()) {
        // A plant not saved yet has no folder of its own: the relay's address folder.
        place.Folder = PlantPath_.isEmpty() ? CStartHistory::AddressFolder(UserSettings_.fileName(),
                                                                           Relay_.Address())
                                            : CStartHistory::PlantFolder(PlantPath_, Tag_);
        place.Station = PlantName_;
        place.Device = Tag_;
        return place;
    }
    // The device's address as the files name it (data, not a window text).
    const QString address = QStringLiteral("地址 %1").arg(Relay_.Address());
    place.Folder = CStartHistory::AddressFolder(UserSettings_.fileName(), Relay_.Address());
    place.Station = address;
    place.Device = address;
    return place;
}

}  // namespace mp
