// Polls the simulated device over a real pseudo-terminal through the whole tool (window,
// handlers, I/O worker, Qt Serial Port) at 9600 and 19200 baud, and prints what a tick costs:
// its duration against the fixed waits and the wire time of its frames, the window's event
// latency while polling, and the CPU time per tick.
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
#include <atomic>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <vector>

#include "app/DialogService.h"
#include "app/IoWorker.h"
#include "app/MainController.h"
#include "app/MotorProtectorDlg.h"
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
    const size_t index = std::min(values.size() - 1, static_cast<size_t>(p * (values.size() - 1) + 0.5));
    return values[index];
}

// Bytes on the line in one tick: five 8-byte requests and the replies to them (currents 11,
// outputs 6, inputs 6, voltages 11, status 7), 10 bits a byte without parity.
double WireMs(int baud) { return (5 * 8 + 11 + 6 + 6 + 11 + 7) * 10.0 * 1000.0 / baud; }

struct Result {
    int Baud = 0;
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

bool RunAt(int baud, int ticks, Result& result) {
    result.Baud = baud;
    QProcess simulator;
    simulator.start(QStringLiteral(MP_SIMULATOR_PATH),
                    {QStringLiteral("--baud"), QString::number(baud), QStringLiteral("--address"),
                     QStringLiteral("1")});
    if (!simulator.waitForStarted(5000) || !simulator.waitForReadyRead(5000)) {
        result.Stop = QStringLiteral("the simulator did not start");
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
        const size_t measured = ticksAtStart > 0 ? tickMs.size() - ticksAtStart : 0;
        const bool done = measured >= static_cast<size_t>(ticks);
        if (done || clock.elapsed() > WatchdogMs(ticks)) {
            const size_t taken = std::min(measured, static_cast<size_t>(ticks));
            if (taken > 0) {
                result.CpuMsPerTick = (ProcessCpuMs() - cpuStart) / static_cast<double>(measured);
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
    std::printf("%-6s %5s %9s %9s %9s %9s %10s %10s %9s %9s %9s\n", "baud", "ticks", "tick ms",
                "max ms", "waits+wire", "overhead", "over waits", "lat p50", "lat p99", "cpu/tick",
                "cpu %");
    for (const int baud : {9600, 19200}) {
        Result r;
        ok = RunAt(baud, ticks, r) && ok;
        std::fprintf(stderr, "%d baud: %s\n", baud, r.Stop.toLocal8Bit().constData());
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
        std::printf("%-6d %5zu %9.1f %9.1f %10.1f %8.2f%% %9.2f%% %9.2f %9.2f %8.2fms %8.3f%%\n", baud,
                    r.TickMs.size(), mean, max, reference, 100.0 * (mean - reference) / reference,
                    100.0 * (mean - 1400.0) / 1400.0, Percentile(r.LatencyMs, 0.5),
                    Percentile(r.LatencyMs, 0.99), r.CpuMsPerTick, 100.0 * r.CpuMsPerTick / mean);
    }
    std::printf("targets: overhead beyond fixed waits plus wire time < 2%%, latency p99 < 50 ms, "
                "cpu < 2%% of one core\n");
    return ok ? 0 : 1;
}
