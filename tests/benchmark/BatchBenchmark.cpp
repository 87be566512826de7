// A batch write of 30 relays on one simulated line at 19200 (virtual clock, the simulated
// line's wire timing), against 30 single verified writes: the total line time of the batch
// (its preview reads, and per relay the read before the write, the six groups with their
// waits and the read-back, with the overview's visits in between) and the sum of the waits and
// wire time of 30 single writes with their read-back.
// Run by hand (build/.../tests/benchmark/batch-benchmark), never by ctest.

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "batch/BatchWrite.h"
#include "files/SettingsComparison.h"
#include "files/SettingsFile.h"
#include "line/DeviceLine.h"
#include "line/IoWorker.h"
#include "plant/PlantLines.h"
#include "plant/PlantRig.h"
#include "settings/SettingsLists.h"
#include "settings/SettingsVerify.h"
#include "simulator/SimulatedDevice.h"
#include "simulator/SimulatedPort.h"
#include "simulator/VirtualClock.h"

using namespace mp;

namespace {

constexpr int kRelays = 30;
constexpr int kBaud = 19200;

SettingsValues Template() {
    SettingsValues values = FactoryValues();
    values.Protection.UnbalancePercent = "25";
    values.StartMode = StartModeNames[0];
    return values;
}

// One verified write (six groups and the read-back) to one relay alone on its line.
double SingleWriteMs() {
    CVirtualClock clock{1000};
    CSimulatedDevice device;
    device.SetBaudCode(4);
    CSimulatedPort port(device, clock);
    port.OpenPort({"sim", kBaud, kParityNone});
    CModbusTransaction link(port, clock);
    test::CHeldWindow window;
    CIoWorker worker(link, window);
    SettingsValues values = Template();
    values.Protection.RatedCurrent = "11";
    worker.Post(
        [values](CDeviceContext& ctx) { WriteAndVerifySettings(ctx, values.Protection, {}); });
    const uint64_t start = clock.Elapsed();
    while (worker.RunOnce()) {
    }
    return static_cast<double>(clock.Elapsed() - start);
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    CSettingsFile pump;
    pump.Values = Template();
    QString reason;
    pump.Save(dir.filePath(QStringLiteral("pump.json")), &reason);

    CVirtualClock clock{1000};
    std::vector<std::unique_ptr<CSimulatedDevice>> devices;
    for (int a = 1; a <= kRelays; ++a) {
        devices.push_back(std::make_unique<CSimulatedDevice>());
        devices.back()->SetAddress(static_cast<uint8_t>(a));
        devices.back()->SetBaudCode(4);
    }
    CSimulatedPort port(*devices.front(), clock);
    for (int a = 1; a < kRelays; ++a) {
        port.AddDevice(*devices[static_cast<size_t>(a)]);
    }
    Plant plant;
    PlantLine line;
    line.Id = QStringLiteral("L1");
    line.Kind = PlantLineKind::Simulated;
    line.BaudRate = kBaud;
    plant.Lines << line;
    QVector<int> rows;
    for (int a = 1; a <= kRelays; ++a) {
        Feeder f;
        f.Tag = QStringLiteral("M-%1").arg(a, 2, 10, QLatin1Char('0'));
        f.Line = line.Id;
        f.Address = a;
        f.Template = QStringLiteral("pump.json");
        f.RatedCurrent = 10 + a;
        plant.Feeders << f;
        rows << a - 1;
    }
    CPlantLines lines(plant,
                      [&](const PlantLine&) { return std::make_unique<CDeviceLine>(port, clock); });
    lines.Start();
    (void)QTest::qWaitFor([&] { return lines.Condition(0) == CPlantLines::LineCondition::Polling; },
                          5000);
    PlantWork work;
    work.CurrentPlant = [&]() -> const Plant* { return &plant; };
    work.PlantPath = [&] { return dir.filePath(QStringLiteral("mcc.json")); };
    work.Lines = [&] { return &lines; };

    CBatchWrite batch(work, rows);
    bool previewed = false;
    bool finished = false;
    QObject::connect(&batch, &CBatchWrite::PreviewReady, [&] { previewed = true; });
    QObject::connect(&batch, &CBatchWrite::Finished, [&] { finished = true; });
    const uint64_t t0 = clock.Elapsed();
    batch.Preview();
    (void)QTest::qWaitFor([&] { return previewed; }, 120000);
    const uint64_t t1 = clock.Elapsed();
    batch.Write(false, &reason);
    (void)QTest::qWaitFor([&] { return finished; }, 120000);
    const uint64_t t2 = clock.Elapsed();
    lines.Shutdown();
    int confirmed = 0;
    for (const BatchRelay& r : batch.Relays()) {
        confirmed += r.Outcome == BatchOutcome::Confirmed ? 1 : 0;
    }
    const double single = SingleWriteMs();
    std::printf("%d relays at %d baud, %d confirmed\n", kRelays, kBaud, confirmed);
    std::printf("preview (30 settings reads): %.1f s\n", (t1 - t0) / 1000.0);
    std::printf("write (per relay: read, 6 groups, read-back): %.1f s\n", (t2 - t1) / 1000.0);
    std::printf("one single verified write: %.2f s; 30 of them: %.1f s\n", single / 1000.0,
                30 * single / 1000.0);
    std::printf("batch write / 30 single writes: %.2f\n", (t2 - t1) / (30 * single));
    return 0;
}
