#pragma once
// Ties the "通讯诊断" menu's functions to the main window and its handlers: the transaction's
// observer, the window's CT ratio, the bus scan as one operation of the state, and "连接".

#include <memory>

namespace mp {

class CDiagnostics;
class CMainController;
class CMotorProtectorDlg;
class IDialogService;

// The diagnostics observe the controller's link from now on; when they go, the controller's
// worker is shut down first.
std::unique_ptr<CDiagnostics> InstallDiagnostics(CMotorProtectorDlg& window,
                                                 CMainController& controller,
                                                 IDialogService& dialogs);

}  // namespace mp
