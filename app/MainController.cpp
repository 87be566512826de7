#include "app/MainController.h"

namespace mp {

CMainController::CMainController(CMotorProtectorDlg& window, IDialogService& dialogs,
                                 const ConnectionSettings& connection, QObject* parent)
    : QObject(parent), Window_(window), Dialogs_(dialogs), Connection_(connection) {}

CMainController::~CMainController() = default;

void CMainController::Start() {}

}  // namespace mp
