#pragma once
// Ties the "曲线" menu's functions to the main window and its handlers: every poll tick's
// values after its final show, the window's settings for the overlays, and the fast refresh
// of the reads on the I/O worker.

#include <functional>
#include <memory>

#include "starts/StartsController.h"

namespace mp {

class CMainController;
class CMotorProtectorDlg;
class CTrendController;
class IDialogService;

std::unique_ptr<CTrendController> InstallTrend(CMotorProtectorDlg& window,
                                               CMainController& controller,
                                               IDialogService& dialogs);

// Ties the start records to the trend: every finished start capture kept, "起动记录..." and
// the COMTRADE export in the "曲线" menu; `place` says where the relay's starts are kept now.
std::unique_ptr<CStartsController> InstallStarts(CTrendController& trend,
                                                 CMotorProtectorDlg& window,
                                                 IDialogService& dialogs,
                                                 std::function<StartsPlace()> place);

}  // namespace mp
