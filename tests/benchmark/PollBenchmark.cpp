// Polls the simulated device over a real pseudo-terminal through the whole tool (window,
// handlers, I/O worker, Qt Serial Port) at 9600 and 19200 baud, in normal and in fast refresh,
// and prints what a tick costs: ticks per second, its duration against the fixed waits and the
// wire time of its frames, the window's event latency while polling, the CPU time per tick,
// and whether both modes decoded the same values (the simulator runs with still values).
//
//   poll-benchmark [ticks per rate, 1 to 10000, default 8]
//
// Each rate ends when its ticks are measured, or when its watchdog (sized for the start
// sequence and that many ticks, with room to spare) runs out; the run says which.

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/DiagnosticsWiring.h"
#include "app/DialogService.h"
#include "app/MainController.h"
#include "app/MotorProtectorDlg.h"
#include "diagnostics/Diagnostics.h"
#include "line/IoWorker.h"
#include "relay/Relay.h"

using namespace mp;

namespace {

// The benchmark answers nothing; any message would mean something went wrong.
class CSilentDialogs : public IMainDialogs {
public:
    void Inform(QWidget*, const QString& text) override {
        std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
    }
    bool AskYesNo(QWidget*, const QString&) override { return false; }
    QString OpenFileName(QWidget*, const QString&, const QString&) override { return {}; }
    QString SaveFileName(QWidget*, const QString&, const QString&, const QString&,
                         const QString&) override {
        return {};
    }
    std::optional<QString> EditText(QWidget*, const QString&, const QString&,
                                    const QString&) override {
        return std::nullopt;
    }
    void ShowUsageNotes(QWidget*) override {}
    std::optional<QString> AskPassword(QWidget*) override { return std::nullopt; }
    bool EditCommParams(QWidget*, CommParamValues&) override { return false; }
    void ShowEventRecords(QWidget*, const EventRecordTexts&) override {}
    bool AskConnection(QWidget*, ConnectionSettings&) override { return false; }
};

double ProcessCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const size_t index =
        std::min(values.size() - 1, static_cast<size_t>(p * (values.size() - 1) + 0.5));
    return values[index];
}

// Bytes on the line in one tick: five 8-byte requests and the replies to them (currents 11,
// outputs 6, inputs 6, voltages 11, status 7), 10 bits a byte without parity.
double WireMs(int baud) {
    return (5 * 8 + 11 + 6 + 6 + 11 + 7) * 10.0 * 1000.0 / baud;
}

struct Result {
    int Baud = 0;
    bool Fast = false;
    double TicksPerSecond = 0;
    std::array<std::string, 6> Values;
    std::vector<double> TickMs;
    std::vector<double> LatencyMs;
    double CpuMsPerTick = 0;
    QString Stop;  // why the rate ended
};

// Time a rate may take: the start sequence (3.3 s of waits), the tick before measuring
// starts and the ticks measured, each allowed twice its 1400 ms of fixed waits, and 10 s for
// the simulator to start and the port to open.
qint64 WatchdogMs(int ticks) {
    return 10000 + 3300 + static_cast<qint64>(ticks + 1) * 2 * 1400;
}

// The tick count as given: a whole number from 1 to 10000, nothing else.
bool ParseTicks(const char* text, int& ticks) {
    bool ok = false;
    const int value = QString::fromLocal8Bit(text).toInt(&ok);
    if (!ok || value < 1 || value > 10000) {
        return false;
    }
    ticks = value;
    return true;
}

// The communication monitor while measuring, from MP_BENCH_MONITOR: "none" (default: nobody
// watches the exchanges), "closed" (the diagnostics record every exchange) or "open" (and the
// monitor window shows them).
QString MonitorMode() {
    const QString mode = qEnvironmentVariable("MP_BENCH_MONITOR", QStringLiteral("none"));
    return mode == QLatin1String("open") || mode == QLatin1String("closed")
               ? mode
               : QStringLiteral("none");
}

bool RunAt(int baud, bool fast, int ticks, Result& result) {
    result.Baud = baud;
    result.Fast = fast;
    QProcess simulator;
    simulator.start(QStringLiteral(MP_SIMULATOR_PATH),
                    {QStringLiteral("--baud"), QString::number(baud), QStringLiteral("--address"),
                     QStringLiteral("1"), QStringLiteral("--still")});
    if (!simulator.waitForStarted(5000) || !simulator.waitForReadyRead(5000)) {
        result.Stop = QStringLiteral("the simulator did not start");
        return false;
    }
    const QString path = QString::fromLocal8Bit(simulator.readLine()).trimmed();

    CSilentDialogs dialogs;
    CRelay relay;
    CMotorProtectorDlg window(relay, dialogs);
    ConnectionSettings connection;
    connection.PortText = path;
    connection.PortNumber = 0;
    connection.BaudRate = baud;
    connection.SlaveAddress = 1;
    CMainController controller(window, dialogs, connection);
    std::unique_ptr<CDiagnostics> diagnostics;
    if (MonitorMode() != QLatin1String("none")) {
        diagnostics = InstallDiagnostics(window, controller, dialogs);
    }
    window.show();
    controller.Start();
    if (diagnostics && MonitorMode() == QLatin1String("open")) {
        diagnostics->OpenMonitor();
    }

    // A tick's duration: from one tick's final show on the window to the next one's.
    std::mutex mutex;
    std::vector<double> tickMs;
    auto last = std::chrono::steady_clock::now();
    bool first = true;
    QObject::connect(&controller, &CMainController::PollTickShown, [&] {
        const auto now = std::chrono::steady_clock::now();
        std::lock_guard<std::mutex> guard(mutex);
        if (!first) {
            tickMs.push_back(std::chrono::duration<double, std::milli>(now - last).count());
        }
        first = false;
        last = now;
    });

    QEventLoop loop;
    QElapsedTimer clock;
    clock.start();
    // Probes of the window's event latency: an event posted every 20 ms and the time until
    // the window thread runs it.
    QTimer probe;
    probe.setInterval(20);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 posted = clock.nsecsElapsed();
        QMetaObject::invokeMethod(
            &window,
            [&, posted] { result.LatencyMs.push_back((clock.nsecsElapsed() - posted) / 1e6); },
            Qt::QueuedConnection);
    });

    double cpuStart = 0;
    qint64 wallStart = 0;
    size_t ticksAtStart = 0;
    QTimer watch;
    watch.setInterval(50);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        std::lock_guard<std::mutex> guard(mutex);
        if (ticksAtStart == 0 && !tickMs.empty()) {
            // Measure from the end of the first tick, once the start sequence is over.
            ticksAtStart = tickMs.size();
            cpuStart = ProcessCpuMs();
            wallStart = clock.nsecsElapsed();
            result.LatencyMs.clear();
            probe.start();
        }
        const size_t measured = ticksAtStart > 0 ? tickMs.size() - ticksAtStart : 0;
        const bool done = measured >= static_cast<size_t>(ticks);
        if (done || clock.elapsed() > WatchdogMs(ticks)) {
            const size_t taken = std::min(measured, static_cast<size_t>(ticks));
            if (taken > 0) {
                result.CpuMsPerTick = (ProcessCpuMs() - cpuStart) / static_cast<double>(measured);
                result.TicksPerSecond =
                    static_cast<double>(measured) / ((clock.nsecsElapsed() - wallStart) / 1e9);
                const auto from = tickMs.begin() + static_cast<std::ptrdiff_t>(ticksAtStart);
                result.TickMs.assign(from, from + static_cast<std::ptrdiff_t>(taken));
            }
            result.Stop = done ? QStringLiteral("%1 ticks measured").arg(ticks)
                               : QStringLiteral("watchdog after %1 s: %2 of %3 ticks measured")
                                     .arg(clock.elapsed() / 1000)
                                     .arg(taken)
                                     .arg(ticks);
            loop.quit();
        }
    });
    watch.start();
    controller.SetFastRefresh(fast);
    controller.Run(MainCommand::ReadRealtimeData);
    loop.exec();
    probe.stop();
    watch.stop();
    controller.Run(MainCommand::StopRun);
    const LiveValues& live = window.Fields().Live;
    result.Values = {live.Currents[0], live.Currents[1], live.Currents[2],
                     live.Voltages[0], live.Voltages[1], live.Voltages[2]};
    const bool answered = !live.Currents[0].empty();
    controller.Shutdown();
    simulator.terminate();
    simulator.waitForFinished(2000);
    if (!answered) {
        result.Stop += QStringLiteral("; the device never answered");
    }
    return answered && result.TickMs.size() == static_cast<size_t>(ticks);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    int ticks = 8;
    if (argc > 2 || (argc == 2 && !ParseTicks(argv[1], ticks))) {
        std::fprintf(stderr, "usage: poll-benchmark [ticks per rate, 1 to 10000, default 8]\n");
        return 2;
    }
    bool ok = true;
    std::printf("monitor: %s\n", MonitorMode().toLocal8Bit().constData());
    std::printf("%-6s %-6s %5s %8s %9s %9s %10s %10s %9s %9s %9s %9s\n", "baud", "mode", "ticks",
                "ticks/s", "tick ms", "max ms", "waits+wire", "over waits", "lat p50", "lat p99",
                "cpu/tick", "cpu %");
    for (const int baud : {9600, 19200}) {
        std::array<Result, 2> modes;
        for (const bool fast : {false, true}) {
            Result& r = modes[fast ? 1 : 0];
            ok = RunAt(baud, fast, fast ? ticks * 10 : ticks, r) && ok;
            std::fprintf(stderr, "%d baud, %s: %s\n", baud, fast ? "fast" : "normal",
                         r.Stop.toLocal8Bit().constData());
            if (r.TickMs.empty()) {
                continue;
            }
            double sum = 0;
            for (double t : r.TickMs) {
                sum += t;
            }
            const double mean = sum / r.TickMs.size();
            const double max = *std::max_element(r.TickMs.begin(), r.TickMs.end());
            const double reference = 1400.0 + WireMs(baud);
            std::printf(
                "%-6d %-6s %5zu %8.2f %9.1f %9.1f %10.1f %9.2f%% %9.2f %9.2f %7.2fms %8.3f%%\n",
                baud, fast ? "fast" : "normal", r.TickMs.size(), r.TicksPerSecond, mean, max,
                reference, 100.0 * (mean - 1400.0) / 1400.0, Percentile(r.LatencyMs, 0.5),
                Percentile(r.LatencyMs, 0.99), r.CpuMsPerTick, 100.0 * r.CpuMsPerTick / mean);
        }
        if (modes[0].TicksPerSecond > 0 && modes[1].TicksPerSecond > 0) {
            const bool same = modes[0].Values == modes[1].Values;
            std::printf("%-6d fast/normal %.1fx, decoded values %s (%s A, %s V)\n", baud,
                        modes[1].TicksPerSecond / modes[0].TicksPerSecond,
                        same ? "identical" : "DIFFERENT", modes[1].Values[0].c_str(),
                        modes[1].Values[3].c_str());
            ok = ok && same;
        }
    }
    std::printf(
        "targets: fast refresh at least 7x at 9600 and 10x at 19200; latency p99 < 50 ms\n");
    return ok ? 0 : 1;
}
