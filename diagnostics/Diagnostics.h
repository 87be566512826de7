#pragma once
// The "通讯诊断" menu and what hangs from it: the exchange log fed by the transaction's
// observer from the moment it is installed, the monitor window ("通讯监视...", Ctrl+M) and the
// bus scan ("搜索设备..."). The observer runs on the I/O worker; the windows on the window
// thread.

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "diagnostics/ExchangeLog.h"
#include "diagnostics/ExchangeRecorder.h"
#include "diagnostics/ScanDlg.h"

class QAction;
class QMainWindow;
class QMenu;

namespace mp {

class CModbusTransaction;
class CMonitorWindow;
class IDialogService;

struct DiagnosticsHost {
    QMainWindow* Window = nullptr;
    CModbusTransaction* Link = nullptr;
    // The CT ratio the window holds (0: unknown).
    std::function<int()> CtRatio;
    // Ends the exchanges on the link before the observer goes (the worker is shut down).
    std::function<void()> Detach;
    ScanHost Scan;
};

class CDiagnostics : public QObject {
    Q_OBJECT
public:
    CDiagnostics(DiagnosticsHost host, IDialogService& dialogs);
    ~CDiagnostics() override;

    CExchangeLog& Log() { return Log_; }
    CMonitorWindow& Monitor();
    // The counters as text (the link lamp's tooltip).
    QString CountersTooltip() const;
    QAction* MonitorAction() const { return MonitorAction_; }
    QAction* ScanAction() const { return ScanAction_; }
    CScanDlg* ScanDialog() const { return Scan_; }
    // What "连接" in the scan dialog does (set before the dialog first opens).
    void SetConnect(decltype(ScanHost::Connect) connect) {
        Host_.Scan.Connect = std::move(connect);
    }

public slots:
    // Opens the monitor (the link lamp's click).
    void OpenMonitor();
    void OpenScan();
    // The line was connected anew: the counters and the log start again.
    void OnConnected();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The menu's words in the window's language.
    void RetranslateMenu();

    DiagnosticsHost Host_;
    IDialogService& Dialogs_;
    CExchangeLog Log_;
    CExchangeRecorder Recorder_{Log_};
    CMonitorWindow* Monitor_ = nullptr;
    QPointer<CScanDlg> Scan_;
    QMenu* Menu_ = nullptr;
    QAction* MonitorAction_ = nullptr;
    QAction* ScanAction_ = nullptr;
};

}  // namespace mp
