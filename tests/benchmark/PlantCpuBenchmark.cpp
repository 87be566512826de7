// What a whole plant costs the program: four lines of 30 simulated relays each at 19200, in
// real time with the simulated line's wire timing, polled by the lines' schedulers while the
// overview shows them. Prints the processor time of the program as a share of one core, the
// window's event loop latency (how late a 16 ms timer fires: p50, p99) and the rounds each
// line made. With --relay-window, one relay's window is also open, polling at wire speed with
// its monitor and trend windows open.
//
//   plant-cpu-benchmark [seconds, default 20] [--relay-window]

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "app/MainCommand.h"
#include "app/MainController.h"
#include "app/PlantWindows.h"
#include "app/RelayWindow.h"
#include "device/LineCodes.h"
#include "diagnostics/Diagnostics.h"
#include "line/DeviceLine.h"
#include "modbus/SteadyClock.h"
#include "plant/OverviewDlg.h"
#include "plant/PlantLines.h"
#include "simulator/SimulatedDevice.h"
#include "simulator/SimulatedPort.h"
#include "trend/TrendController.h"

using namespace mp;

namespace {

constexpr int kLines = 4;
constexpr int kRelaysPerLine = 30;

double CpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// One simulated line: its relays and the port they answer on.
struct SimLine {
    SimLine() : Port(Devices[0], Clock) {
        for (int k = 0; k < kRelaysPerLine; ++k) {
            Devices[k].SetAddress(static_cast<uint8_t>(k + 1));
            Devices[k].SetBaudCode(BaudCodeOfRate(19200));
            if (k > 0) {
                Port.AddDevice(Devices[k]);
            }
        }
    }
    CSteadyClock Clock;
    CSimulatedDevice Devices[kRelaysPerLine];
    CSimulatedPort Port;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    int seconds = 20;
    bool relayWindow = false;
    for (int k = 1; k < argc; ++k) {
        if (QByteArray(argv[k]) == "--relay-window") {
            relayWindow = true;
        } else {
            seconds = std::max(1, atoi(argv[k]));
        }
    }
    std::vector<std::unique_ptr<SimLine>> sims;
    Plant plant;
    for (int line = 0; line < kLines; ++line) {
        sims.push_back(std::make_unique<SimLine>());
        PlantLine config;
        config.Id = QStringLiteral("L%1").arg(line + 1);
        config.Port = config.Id;
        config.BaudRate = 19200;
        plant.Lines << config;
        for (int k = 0; k < kRelaysPerLine; ++k) {
            Feeder feeder;
            feeder.Tag = QStringLiteral("M-%1%2").arg(line + 1).arg(k + 1, 2, 10, QLatin1Char('0'));
            feeder.Line = config.Id;
            feeder.Address = k + 1;
            feeder.CtRatio = 50;
            feeder.RatedCurrent = 45;
            plant.Feeders << feeder;
        }
    }
    CPlantWindows plants([&](const PlantLine& line) {
        SimLine& sim = *sims[static_cast<size_t>(line.Id.mid(1).toInt() - 1)];
        return std::make_unique<CDeviceLine>(sim.Port, sim.Clock);
    });
    plants.Show(plant, QStringLiteral("benchmark.json"));
    plants.Overview().show();
    if (relayWindow) {
        CRelayWindow* relay = plants.OpenFeeder(0);
        relay->Trend().ShowTrendWindow();
        relay->Diagnostics().OpenMonitor();
        QTimer::singleShot(500, [relay] {
            relay->Controller().Run(MainCommand::ReadRealtimeData);
            relay->Controller().SetFastRefresh(true);
        });
    }

    // Settle for a second, then measure.
    std::vector<double> lateness;
    QElapsedTimer wall;
    double cpuStart = 0;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(16);
    qint64 last = 0;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = wall.nsecsElapsed();
        if (last != 0) {
            lateness.push_back(std::max(0.0, (now - last) / 1e6 - 16.0));
        }
        last = now;
    });
    QTimer::singleShot(1000, [&] {
        wall.start();
        cpuStart = CpuMs();
        probe.start();
    });
    QTimer::singleShot(1000 + seconds * 1000, [&] {
        const double cpu = CpuMs() - cpuStart;
        const double elapsed = wall.nsecsElapsed() / 1e6;
        std::sort(lateness.begin(), lateness.end());
        auto pick = [&](double q) {
            return lateness.empty() ? 0.0
                                    : lateness[std::min(lateness.size() - 1,
                                                        static_cast<size_t>(q * lateness.size()))];
        };
        std::printf(
            "%d lines x %d relays at 19200, %s, %d s\n", kLines, kRelaysPerLine,
            relayWindow ? "overview + relay window (fast refresh, monitor, trend)" : "overview",
            seconds);
        std::printf("cpu %.1f %% of a core, event loop lateness p50 %.1f ms p99 %.1f ms\n",
                    100.0 * cpu / elapsed, pick(0.5), pick(0.99));
        for (int line = 0; line < kLines; ++line) {
            const CLineScheduler* scheduler = plants.Lines()->Scheduler(line);
            if (scheduler != nullptr) {
                std::printf("line %d: %llu rounds, last %u ms\n", line + 1,
                            static_cast<unsigned long long>(scheduler->Rounds()),
                            scheduler->LastRoundMs());
            }
        }
        plants.Close();
        QApplication::quit();
    });
    return QApplication::exec();
}
