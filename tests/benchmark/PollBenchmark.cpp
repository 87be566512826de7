// Polls the simulated device over a real pseudo-terminal through the whole tool (window,
// handlers, I/O worker, Qt Serial Port) at 9600 and 19200 baud, and prints what a tick costs:
// its duration against the fixed waits and the wire time of its frames, the window's event
// latency while polling, and the CPU time per tick.
//
//   poll-benchmark [ticks per rate, default 8]

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <vector>

#include "app/DiagnosticsWiring.h"
#include "app/DialogService.h"
#include "app/IoWorker.h"
#include "app/MainController.h"
#include "app/MotorProtectorDlg.h"
#include "diagnostics/Diagnostics.h"
#include "diagnostics/MonitorWindow.h"
#include "files/FileDialogs.h"
#include "monitoring/PollingCycle.h"

using namespace mp;

namespace {

// The benchmark answers nothing; any message would mean something went wrong.
class CSilentDialogs : public IDialogService {
public:
    void Inform(QWidget*, const QString& text) override {
        std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
    }
    bool AskYesNo(QWidget*, const QString&) override { return false; }
    void ShowUsageNotes(QWidget*) override {}
    std::optional<QString> AskPassword(QWidget*) override { return std::nullopt; }
    bool EditCommParams(QWidget*, CommParamValues&) override { return false; }
    void ShowEventRecords(QWidget*, const EventRecordTexts&) override {}
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
    const size_t index = std::min(values.size() - 1, static_cast<size_t>(p * (values.size() - 1) + 0.5));
    return values[index];
}

// Bytes on the line in one tick: five 8-byte requests and the replies to them (currents 11,
// outputs 6, inputs 6, voltages 11, status 7), 10 bits a byte without parity.
double WireMs(int baud) { return (5 * 8 + 11 + 6 + 6 + 11 + 7) * 10.0 * 1000.0 / baud; }

// Without the diagnostics, with them and the monitor closed, with the monitor open.
enum class Monitor { None, Closed, Open };
const char* MonitorName(Monitor m) {
    return m == Monitor::None ? "none" : m == Monitor::Closed ? "closed" : "open";
}

struct Result {
    int Baud = 0;
    std::vector<double> TickMs;
    std::vector<double> LatencyMs;
    double CpuMsPerTick = 0;
};

bool RunAt(int baud, int ticks, Monitor monitor, Result& result) {
    result.Baud = baud;
    QProcess simulator;
    simulator.start(QStringLiteral(MP_SIMULATOR_PATH),
                    {QStringLiteral("--baud"), QString::number(baud), QStringLiteral("--address"),
                     QStringLiteral("1")});
    if (!simulator.waitForStarted(5000) || !simulator.waitForReadyRead(5000)) {
        std::fprintf(stderr, "the simulator did not start\n");
        return false;
    }
    const QString path = QString::fromLocal8Bit(simulator.readLine()).trimmed();

    CSilentDialogs dialogs;
    CMotorProtectorDlg window(dialogs);
    ConnectionSettings connection;
    connection.PortText = path;
    connection.PortNumber = 0;
    connection.BaudRate = baud;
    connection.SlaveAddress = 1;
    CMainController controller(window, dialogs, connection);
    CFileDialogs fileDialogs;
    std::unique_ptr<CDiagnostics> diagnostics;
    if (monitor != Monitor::None) {
        diagnostics = InstallDiagnostics(window, controller, fileDialogs);
    }
    if (monitor == Monitor::Open) {
        diagnostics->OpenMonitor();
    }
    window.show();
    controller.Start();

    std::mutex mutex;
    std::vector<double> tickMs;
    MainFields* fields = &window.Fields();
    controller.Worker().SetTick([&, fields](CDeviceContext& ctx) {
        const auto start = std::chrono::steady_clock::now();
        RunPollTick(ctx, &fields->Settings, &fields->Live);
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        std::lock_guard<std::mutex> guard(mutex);
        tickMs.push_back(took.count());
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
        QMetaObject::invokeMethod(&window, [&, posted] {
            result.LatencyMs.push_back((clock.nsecsElapsed() - posted) / 1e6);
        }, Qt::QueuedConnection);
    });

    double cpuStart = 0;
    size_t ticksAtStart = 0;
    QTimer watch;
    watch.setInterval(50);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        std::lock_guard<std::mutex> guard(mutex);
        if (ticksAtStart == 0 && !tickMs.empty()) {
            // Measure from the end of the first tick, once the start sequence is over.
            ticksAtStart = tickMs.size();
            cpuStart = ProcessCpuMs();
            result.LatencyMs.clear();
            probe.start();
        }
        if (ticksAtStart > 0 && tickMs.size() >= ticksAtStart + static_cast<size_t>(ticks)) {
            result.CpuMsPerTick = (ProcessCpuMs() - cpuStart) / static_cast<double>(tickMs.size() - ticksAtStart);
            result.TickMs.assign(tickMs.begin() + static_cast<std::ptrdiff_t>(ticksAtStart), tickMs.end());
            loop.quit();
        }
        if (clock.elapsed() > 60000) {
            loop.quit();
        }
    });
    watch.start();
    controller.OnReadRealtimeData();
    loop.exec();
    probe.stop();
    watch.stop();
    controller.OnStopRun();
    const bool answered = window.Fields().Live.Currents[0] != "0.0000";
    controller.Shutdown();
    simulator.terminate();
    simulator.waitForFinished(2000);
    if (!answered) {
        std::fprintf(stderr, "the device never answered at %d baud\n", baud);
    }
    return answered && !result.TickMs.empty();
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const int ticks = argc > 1 ? std::max(1, atoi(argv[1])) : 8;
    bool ok = true;
    std::printf("%-6s %-7s %5s %9s %9s %9s %9s %10s %10s %9s %9s %9s\n", "baud", "monitor", "ticks", "tick ms",
                "max ms", "waits+wire", "overhead", "over waits", "lat p50", "lat p99", "cpu/tick",
                "cpu %");
    for (const int baud : {9600, 19200})
    for (const Monitor monitor : {Monitor::None, Monitor::Closed, Monitor::Open}) {
        Result r;
        ok = RunAt(baud, ticks, monitor, r) && ok;
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
        std::printf("%-6d %-7s %5zu %9.1f %9.1f %10.1f %8.2f%% %9.2f%% %9.2f %9.2f %8.2fms %8.3f%%\n", baud,
                    MonitorName(monitor), r.TickMs.size(), mean, max, reference, 100.0 * (mean - reference) / reference,
                    100.0 * (mean - 1400.0) / 1400.0, Percentile(r.LatencyMs, 0.5),
                    Percentile(r.LatencyMs, 0.99), r.CpuMsPerTick, 100.0 * r.CpuMsPerTick / mean);
    }
    std::printf("targets: overhead beyond fixed waits plus wire time < 2%%, latency p99 < 50 ms, "
                "cpu < 2%% of one core\n");
    return ok ? 0 : 1;
}
