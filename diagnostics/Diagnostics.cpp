#include "diagnostics/Diagnostics.h"

#include <QAction>
#include <QEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include "diagnostics/MonitorWindow.h"
#include "modbus/ModbusTransaction.h"

namespace mp {

CDiagnostics::CDiagnostics(DiagnosticsHost host, IDialogService& dialogs)
    : Host_(std::move(host)), Dialogs_(dialogs) {
    if (Host_.Link != nullptr) {
        Host_.Link->SetObserver(&Recorder_);
    }
    if (Host_.Window != nullptr) {
        Menu_ = new QMenu(Host_.Window);
        MonitorAction_ = Menu_->addAction(QString());
        MonitorAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
        ScanAction_ = Menu_->addAction(QString());
        connect(MonitorAction_, &QAction::triggered, this, &CDiagnostics::OpenMonitor);
        connect(ScanAction_, &QAction::triggered, this, &CDiagnostics::OpenScan);
        Host_.Window->menuBar()->addMenu(Menu_);
        RetranslateMenu();
        // The menu's words follow the main window's language switch.
        Host_.Window->installEventFilter(this);
    }
}

bool CDiagnostics::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Host_.Window && event->type() == QEvent::LanguageChange) {
        RetranslateMenu();
    }
    return QObject::eventFilter(watched, event);
}

void CDiagnostics::RetranslateMenu() {
    if (Menu_ == nullptr) {
        return;
    }
    Menu_->setTitle(tr("通讯诊断"));
    MonitorAction_->setText(tr("通讯监视..."));
    ScanAction_->setText(tr("搜索设备..."));
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
