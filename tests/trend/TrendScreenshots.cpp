// Pictures for review: the main window polls the in-process simulated device, "起动录波" is
// armed and the device plays a motor start (the currents jump to several times rated and
// decay, the voltages sag); once the capture is done the "实时曲线" window showing it is saved
// as PNG into the folder given (default "screenshots"), together with the main window, and
// the capture's judgement is printed.
//
//   QT_QPA_PLATFORM=offscreen build/.../tests/trend/trend-screenshots screenshots

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>

#include "app/MotorProtectorApp.h"
#include "support/ScriptedDialogs.h"
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
    CScriptedDialogs dialogs;
    const qint64 base = QDateTime::currentMSecsSinceEpoch();
    TrendHost host;
    host.Window = &rig->Window;
    host.Settings = &rig->Window.Fields().Settings;
    host.Live = &rig->Window.Fields().Live;
    host.SetFastRefresh = [&rig](bool on) { rig->Controller->SetFastRefresh(on); };
    host.Now = [&rig, base] { return base + static_cast<qint64>(rig->Clock.Elapsed()); };
    CTrendController trend(host, dialogs);
    trend.InstallMenu();

    // The motor runs at 0.9 × its rated 15 A once started; the device plays the start 15 s
    // after the read command, and the capture is armed after the first tick.
    for (uint16_t k = 0; k < 3; ++k) {
        rig->Device.SetRegister(static_cast<uint16_t>(0x0106 + k),
                                static_cast<uint16_t>(268 + 2 * k));
    }
    rig->Device.SetLiveMotion(true);
    rig->Device.PlayMotorStart(rig->Clock, 15000);
    QObject::connect(rig->Controller.get(), &CMainController::PollTickShown, &trend,
                     &CTrendController::OnPollTick);
    dialogs.SaveAnswer = QDir::temp().filePath(QStringLiteral("start-capture.csv"));
    rig->Click("readRealtimeButton");
    if (!RunUntil([&] { return !trend.Store().Samples().empty(); })) {
        return 1;
    }
    trend.ArmStartCapture();
    trend.ShowTrendWindow();
    trend.TrendWindow()->resize(1000, 720);
    trend.TrendWindow()->SetRange(CTrendWindow::LastMinute);
    // While polling, in the middle of the start.
    if (!RunUntil([&] { return rig->Clock.Elapsed() > 24000; })) {
        return 1;
    }
    trend.TrendWindow()->ShowValuesAt(trend.Store().Samples().back().TimeMs);
    QApplication::processEvents();
    trend.TrendWindow()->grab().save(out.filePath(QStringLiteral("trend-window.png")));
    if (!RunUntil([&] { return trend.Capture().CurrentState() == CStartCapture::State::Done; })) {
        return 1;
    }
    rig->Controller->Run(MainCommand::StopRun);
    CTrendWindow* window = trend.TrendWindow();
    window->resize(1000, 720);
    const auto& captured = trend.Capture().Samples();
    window->ShowValuesAt(captured.front().TimeMs + 300);
    QApplication::processEvents();
    window->grab().save(out.filePath(QStringLiteral("start-capture.png")));
    rig->Window.grab().save(out.filePath(QStringLiteral("main-window-trend-menu.png")));
    std::printf("%zu samples, %zu captured over %.1f s\n%s\n", trend.Store().Samples().size(),
                captured.size(), static_cast<double>(rig->Clock.Elapsed()) / 1000.0,
                dialogs.Messages.join(QStringLiteral("\n")).toUtf8().constData());
    return 0;
}
