#include "app/TrendWiring.h"

#include <cmath>
#include <cstdlib>

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

std::unique_ptr<CStartsController> InstallStarts(CTrendController& trend,
                                                 CMotorProtectorDlg& window,
                                                 IDialogService& dialogs,
                                                 std::function<StartsPlace()> place) {
    StartsHost host;
    host.Window = &window;
    host.Place = std::move(place);
    host.CtRatio = [&window] {
        const std::string& text = window.Fields().Settings.CtRatio;
        char* end = nullptr;
        const double ratio = std::strtod(text.c_str(), &end);
        const bool whole = !text.empty() && end == text.c_str() + text.size();
        return whole && std::isfinite(ratio) && ratio > 0 ? ratio : 1.0;
    };
    host.TrendSamples = [&trend] {
        const auto& samples = trend.Store().Samples();
        return std::vector<TrendSample>(samples.begin(), samples.end());
    };
    auto starts = std::make_unique<CStartsController>(std::move(host), dialogs);
    starts->InstallMenu(trend.Menu());
    CStartsController* keeper = starts.get();
    trend.SetKeepStart(
        [keeper](const CStartCapture& capture) { return keeper->KeepStart(capture); });
    return starts;
}

}  // namespace mp
