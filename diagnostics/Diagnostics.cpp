#include "diagnostics/Diagnostics.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "diagnostics/MonitorWindow.h"
#include "modbus/ModbusTransaction.h"

namespace mp {

CDiagnostics::CDiagnostics(DiagnosticsHost host, IFileDialogs& dialogs)
    : Host_(std::move(host)), Dialogs_(dialogs) {
    if (Host_.Link != nullptr) {
        Host_.Link->SetObserver(&Recorder_);
    }
    if (Host_.Window != nullptr) {
        auto* menu = new QMenu(QStringLiteral("通讯诊断"), Host_.Window);
        MonitorAction_ = menu->addAction(QStringLiteral("通讯监视..."));
        MonitorAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
        ScanAction_ = menu->addAction(QStringLiteral("搜索设备..."));
        connect(MonitorAction_, &QAction::triggered, this, &CDiagnostics::OpenMonitor);
        connect(ScanAction_, &QAction::triggered, this, &CDiagnostics::OpenScan);
        Host_.Window->menuBar()->addMenu(menu);
    }
}

CDiagnostics::~CDiagnostics() {
    if (Host_.Link != nullptr) {
        // The worker may be inside an observer call: it ends first.
        if (Host_.Detach) {
            Host_.Detach();
        }
        Host_.Link->SetObserver(nullptr);
    }
    delete Monitor_;
    delete Scan_;
}

CMonitorWindow& CDiagnostics::Monitor() {
    if (Monitor_ == nullptr) {
        // A window of its own (no parent), so that it stays usable beside the main window.
        Monitor_ = new CMonitorWindow(Log_, Dialogs_);
        Monitor_->SetCtRatioSource(Host_.CtRatio);
    }
    return *Monitor_;
}

QString CDiagnostics::CountersTooltip() const {
    return CMonitorWindow::CountersText(Log_.Counters());
}

void CDiagnostics::OpenMonitor() {
    Monitor().OpenMonitor();
}

void CDiagnostics::OpenScan() {
    if (Scan_ == nullptr) {
        Scan_ = new CScanDlg(Host_.Scan, Dialogs_, Host_.Window);
        Scan_->setModal(false);
    }
    Scan_->show();
    Scan_->raise();
    Scan_->activateWindow();
}

void CDiagnostics::OnConnected() {
    Log_.Clear();
}

}  // namespace mp
