#pragma once
// Ties the "曲线" menu's functions to the main window and its handlers: every poll tick's
// values after its final show, the window's settings for the overlays, and the fast refresh
// of the reads on the I/O worker.

#include <memory>

namespace mp {

class CMainController;
class CMotorProtectorDlg;
class CTrendController;
class IDialogService;

std::unique_ptr<CTrendController> InstallTrend(CMotorProtectorDlg& window,
                                               CMainController& controller,
                                               IDialogService& dialogs);

}  // namespace mp
