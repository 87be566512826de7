// Pictures for review: the main window polls the in-process simulated device at fast refresh
// while the device plays a motor start (the currents jump to several times rated and decay,
// the voltages sag), and the "实时曲线" window is saved as PNG into the folder given (default
// "screenshots"), together with the main window.
//
//   QT_QPA_PLATFORM=offscreen build/.../tests/trend/trend-screenshots screenshots

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cmath>

#include "app/MotorProtectorApp.h"
#include "support/ScriptedFileDialogs.h"
#include "support/WindowRig.h"
#include "trend/TrendController.h"

using namespace mp;
using namespace mp::test;

namespace {

bool RunUntil(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > 60000) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    CMotorProtectorApp::ApplyWindowColours(app);
    CMotorProtectorApp::ApplyWindowFont(app);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots"));
    QDir().mkpath(out.path());

    auto rig = std::make_unique<CWindowRig>();
    CScriptedFileDialogs dialogs;
    const qint64 base = QDateTime::currentMSecsSinceEpoch();
    TrendHost host;
    host.Window = &rig->Window;
    host.Settings = &rig->Window.Fields().Settings;
    host.Live = &rig->Window.Fields().Live;
    host.SetFastRefresh = [&rig](bool on) { rig->Controller->SetFastRefresh(on); };
    host.Now = [&rig, base] { return base + static_cast<qint64>(rig->Clock.Elapsed()); };
    CTrendController trend(host, dialogs);
    trend.InstallMenu();

    // The device's currents and voltages follow the virtual time: idle for 15 s, then a
    // start that peaks near six times rated and settles at 0.9 × rated.
    const double startAt = 15.0;
    auto play = [&] {
        const ProtectionSettings& settings = rig->Window.Fields().Settings;
        const double rated = std::max(1.0, std::atof(settings.RatedCurrent.c_str()));
        const double ratio = std::max(1.0, std::atof(settings.CtRatio.c_str()));
        const double t = static_cast<double>(rig->Clock.Elapsed()) / 1000.0;
        for (int k = 0; k < 3; ++k) {
            double current = 0;
            double sag = 0;
            if (t >= startAt) {
                const double s = t - startAt;
                const double decay = std::exp(-s / 2.5);
                current = rated * (0.9 + 5.1 * decay) * (1.0 + 0.02 * (k - 1)) *
                          (1.0 - std::exp(-s / 0.08));
                sag = 28.0 * decay;
            }
            const double raw = current / (ratio * 0.001);
            rig->Device.SetRegister(static_cast<uint16_t>(0x0106 + k),
                                    static_cast<uint16_t>(std::clamp(raw, 0.0, 65535.0)));
            rig->Device.SetRegister(static_cast<uint16_t>(0x0103 + k),
                                    static_cast<uint16_t>((381.0 - k * 0.8 - sag) * 10));
        }
    };
    QObject::connect(rig->Controller.get(), &CMainController::PollTickShown, &trend,
                     [&](const PollTickResult& answered) {
                         trend.OnPollTick(answered);
                         play();
                     });
    play();
    rig->Click("readRealtimeButton");
    trend.SetFastRefresh(true);
    trend.ShowTrendWindow();
    CTrendWindow* window = trend.TrendWindow();
    window->resize(1000, 720);
    window->SetRange(CTrendWindow::LastMinute);
    if (!RunUntil([&] { return rig->Clock.Elapsed() > 40000; })) {
        return 1;
    }
    rig->Controller->OnStopRun();
    const auto start = trend.Store().LastStart(1.0);
    window->ShowValuesAt(start ? *start + 300 : base);
    QApplication::processEvents();
    window->grab().save(out.filePath(QStringLiteral("trend-window.png")));
    rig->Window.grab().save(out.filePath(QStringLiteral("main-window-trend-menu.png")));
    std::printf("%zu samples over %.1f s\n", trend.Store().Samples().size(),
                static_cast<double>(rig->Clock.Elapsed()) / 1000.0);
    return 0;
}
