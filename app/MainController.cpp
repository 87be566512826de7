#include "app/MainController.h"

namespace mp {

CMainController::CMainController(CMotorProtectorDlg& window, IDialogService& dialogs,
                                 const ConnectionSettings& connection, QObject* parent)
    : QObject(parent), Window_(window), Dialogs_(dialogs), Connection_(connection),
      Port_(*static_cast<IPort*>(nullptr)), Clock_(*static_cast<IClock*>(nullptr)), Link_(Port_, Clock_) {}

CMainController::~CMainController() = default;

void CMainController::Start() {}

}  // namespace mp
