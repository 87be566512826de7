#include "app/TrendWiring.h"

#include "app/MainController.h"
#include "app/MotorProtectorDlg.h"
#include "line/IoWorker.h"
#include "trend/TrendController.h"

namespace mp {

std::unique_ptr<CTrendController> InstallTrend(CMotorProtectorDlg& window,
                                               CMainController& controller,
                                               IDialogService& dialogs) {
    TrendHost host;
    host.Window = &window;
    host.Settings = &window.Fields().Settings;
    host.Live = &window.Fields().Live;
    host.SetFastRefresh = [&controller](bool on) { controller.SetFastRefresh(on); };

    auto trend = std::make_unique<CTrendController>(std::move(host), dialogs);
    trend->InstallMenu();
    QObject::connect(&controller, &CMainController::PollTickShown, trend.get(),
                     &CTrendController::OnPollTick);
    QObject::connect(&controller, &CMainController::PollingStarted, trend.get(),
                     &CTrendController::OnPollingStarted);
    return trend;
}

}  // namespace mp
