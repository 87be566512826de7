// What watching the exchanges costs: poll-shaped ticks (the five live reads) against the
// simulated device on a virtual clock, so that every microsecond measured is processor time
// of the transaction, the device and the observer. Three ways: nobody listening, the exchange
// log recording (monitor closed), and the log recording while the monitor's table takes the
// new rows every 250 ms of line time (monitor open).
//
//   observer-benchmark [ticks, default 20000]

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "diagnostics/ExchangeLog.h"
#include "diagnostics/ExchangeRecorder.h"
#include "diagnostics/MonitorModel.h"
#include "modbus/ModbusTransaction.h"
#include "simulator/SimulatedDevice.h"
#include "simulator/SimulatedPort.h"
#include "simulator/VirtualClock.h"

using namespace mp;

namespace {

double CpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

enum class Mode { None, Closed, Open };

double MicrosecondsPerTick(Mode mode, int ticks) {
    CVirtualClock clock;
    CSimulatedDevice device;
    CSimulatedPort port(device, clock);
    port.OpenPort({"sim", 9600, kParityNone});
    CModbusTransaction link(port, clock);
    CExchangeLog log;
    CExchangeRecorder recorder(log);
    CMonitorModel model(log);
    if (mode != Mode::None) {
        link.SetObserver(&recorder);
    }
    uint32_t nextRefresh = 0;
    const double start = CpuMs();
    for (int k = 0; k < ticks; ++k) {
        link.ReadSequence(0x03, 0x0106, 3, 200);
        link.ReadSequence(0x01, 0x0000, 1, 200);
        link.ReadSequence(0x02, 0x0000, 1, 200);
        link.ReadSequence(0x03, 0x0103, 3, 200);
        link.ReadSequence(0x03, 0x011B, 1, 300);
        if (mode == Mode::Open && static_cast<int32_t>(clock.TickCount() - nextRefresh) >= 0) {
            model.Refresh();
            nextRefresh = clock.TickCount() + 250;
        }
    }
    return (CpuMs() - start) * 1000.0 / ticks;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int ticks = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20000;
    std::printf("%-8s %12s %14s\n", "monitor", "cpu us/tick", "of 1100 ms waits");
    for (const auto& [mode, name] :
         {std::pair{Mode::None, "none"}, std::pair{Mode::Closed, "closed"},
          std::pair{Mode::Open, "open"}}) {
        const double us = MicrosecondsPerTick(mode, ticks);
        std::printf("%-8s %12.1f %13.4f%%\n", name, us, 100.0 * us / 1100000.0);
    }
    return 0;
}
