// A device that answers late, swept across reply delays on the virtual clock: the start
// sequence and back-to-back poll ticks never show a value decoded from another read's reply,
// whatever the delay, and a device that answers in time keeps the ticks at their fixed waits.
// A busy device that queues its requests, swept the same way through the I/O worker: no field,
// no row of the communication monitor and no line of a recording holds another read's value.

#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <map>

#include "diagnostics/ExchangeLog.h"
#include "diagnostics/ExchangeRecorder.h"
#include "line/IoWorker.h"
#include "monitoring/LiveDecoders.h"
#include "monitoring/PollingCycle.h"
#include "support/DeviceRig.h"
#include "support/WrongMonitorRows.h"
#include "support/WrongValues.h"
#include "trend/CsvRecorder.h"

Q_DECLARE_METATYPE(mp::SimFaults)

namespace mp::test {
namespace {

constexpr int kTicksPerDelay = 6;

struct SweepResult {
    int Ticks = 0;       // start sequences and poll ticks run
    int WrongTicks = 0;  // those after which a field held another read's value
    uint64_t LongestTick = 0;
    QString FirstWrong;  // the fields that went wrong first
};

// The start sequence, then back-to-back ticks, with every reply `delayMs` late; the result
// added to `r`.
void RunWithDelay(int baud, uint32_t delayMs, SweepResult& r) {
    CDeviceRig rig;
    rig.Device.SetBaudCode(baud == 1200 ? 0 : baud == 19200 ? 4 : 3);
    rig.Port.OpenPort(PortSettings{"sim", baud, kParityEven});
    SimFaults faults;
    faults.ReplyDelayMs = delayMs;
    rig.Port.SetFaults(faults);
    ProtectionSettings settings;
    settings.CtRatio = "1";
    LiveValues live;
    const CWrongValues wrong(rig.Device, live, settings);
    bool wrongNow = false;
    rig.Window.OnShow = [&] {
        const QStringList fields = wrong.Of(live, settings);
        if (!fields.isEmpty() && r.FirstWrong.isEmpty()) {
            r.FirstWrong = QStringLiteral("%1 ms late: %2").arg(delayMs).arg(fields.join(", "));
        }
        wrongNow = wrongNow || !fields.isEmpty();
    };
    for (int tick = -1; tick < kTicksPerDelay; ++tick) {
        const uint64_t start = rig.Clock.Elapsed();
        if (tick < 0) {
            RunStartSequence(rig.Ctx, &settings, &live, {}, {});
        } else {
            RunPollTick(rig.Ctx, &settings, &live);
            r.LongestTick = std::max(r.LongestTick, rig.Clock.Elapsed() - start);
        }
        ++r.Ticks;
        r.WrongTicks += wrongNow ? 1 : 0;
        wrongNow = false;
    }
}

// Register values no other read can give: the currents' registers never hold a voltage's
// value and the other way round, the inputs' byte is not the outputs' and the status
// register's low byte is neither.
void HoldDistinctValues(CSimulatedDevice& device) {
    device.SetLiveMotion(false);
    const uint16_t currents[] = {1111, 1222, 1333};
    const uint16_t voltages[] = {2201, 2302, 2403};
    for (uint16_t k = 0; k < 3; ++k) {
        device.SetRegister(static_cast<uint16_t>(0x0106 + k), currents[k]);
        device.SetRegister(static_cast<uint16_t>(0x0103 + k), voltages[k]);
    }
    device.SetRegister(0x011B, 0x00C3);
    device.SetInputs(0x5A);
    device.SetCoils(0x05);
}

// What a queuing device's delay did to the polling.
struct QueueRun {
    int Ticks = 0;
    uint64_t MeanTickMs = 0;  // from the third tick on
    uint64_t LongestTickMs = 0;
    int Answered = 0;  // reads of the ticks that found their reply
    int Reads = 0;
    QStringList Wrong;  // what held another read's value, first few
};

// The start sequence, then `ticks` poll ticks through the I/O worker driven step by step on
// the virtual clock, with the exchanges recorded for the monitor and every tick recorded to
// a CSV file, against a device that queues its requests and answers each `delayMs` after it
// takes it up.
QueueRun RunQueuedDevice(uint32_t delayMs, int ticks) {
    QueueRun run;
    CVirtualClock clock(1000);
    CSimulatedDevice device;
    HoldDistinctValues(device);
    CSimulatedDevice reference;  // the same registers, asked directly
    HoldDistinctValues(reference);
    CSimulatedPort port(device, clock);
    port.OpenPort(PortSettings{"COM3", 9600, kParityNone});
    SimFaults faults;
    faults.QueueDelayMs = delayMs;
    port.SetFaults(faults);
    CModbusTransaction link(port, clock);
    CExchangeLog log;
    CExchangeRecorder recorder(log);
    link.SetObserver(&recorder);
    CImmediateWindow window;
    CIoWorker worker(link, window);

    ProtectionSettings settings;
    settings.CtRatio = "1";
    LiveValues live;
    const CWrongValues wrong(device, live, settings);
    auto note = [&run](const QString& what) {
        if (run.Wrong.size() < 5 && !run.Wrong.contains(what)) {
            run.Wrong << what;
        }
    };
    window.OnShow = [&] {
        const QStringList fields = wrong.Of(live, settings);
        if (!fields.isEmpty()) {
            note(QStringLiteral("fields after tick %1: %2").arg(run.Ticks).arg(fields.join(", ")));
        }
    };

    QTemporaryDir dir;
    CCsvRecorder csv;
    if (!csv.Start(dir.filePath(QStringLiteral("record.csv")))) {
        note(QStringLiteral("recording: %1").arg(csv.Error()));
    }
    std::vector<uint64_t> lengths;
    worker.SetTick([&](CDeviceContext& ctx) {
        const uint64_t start = clock.Elapsed();
        const PollTickResult answered = RunPollTick(ctx, &settings, &live);
        lengths.push_back(clock.Elapsed() - start);
        run.Answered += answered.Currents + answered.Outputs + answered.Inputs + answered.Voltages +
                        answered.Status;
        run.Reads += 5;
        csv.Append(MakeTrendSample(static_cast<int64_t>(clock.Elapsed()), live, answered));
        ++run.Ticks;
    });
    worker.Post([&](CDeviceContext& ctx) { RunStartSequence(ctx, &settings, &live, {}, {}); });
    // The start sequence starts the poll timer; the ticks then run every second or back to
    // back.
    uint64_t progress = clock.Elapsed();
    for (int last = 0; run.Ticks < ticks;) {
        if (!worker.RunOnce()) {
            clock.Advance(10);
        }
        if (run.Ticks != last) {
            last = run.Ticks;
            progress = clock.Elapsed();
        } else if (clock.Elapsed() - progress > 60000) {
            note(QStringLiteral("no tick for a minute after tick %1").arg(run.Ticks));
            break;
        }
    }
    worker.StopPollTimer();
    csv.Stop();

    // The monitor: every reply a read located is what the device holds for that request.
    for (const QString& row : WrongMonitorRows(log, reference)) {
        note(row);
    }

    // The recording: every field of a line is empty (no reply) or what the device holds,
    // decoded with either ratio the window may hold.
    std::vector<QStringList> right;
    for (const std::string& ratio : {std::string("1"), std::to_string(device.Register(0x0153))}) {
        LiveValues values;
        DecodePhaseCurrents(
            values, ratio,
            {device.Register(0x0106), device.Register(0x0107), device.Register(0x0108)});
        DecodePhaseVoltages(
            values, {device.Register(0x0103), device.Register(0x0104), device.Register(0x0105)});
        DecodeDigitalInputs(values, device.Inputs());
        DecodeOutputStates(values, device.Coils());
        values.StatusLamps = static_cast<uint8_t>(device.Register(0x011B) & 0xFF);
        right.push_back(
            CCsvRecorder::Line(
                MakeTrendSample(0, values, PollTickResult{true, true, true, true, true}))
                .split(QLatin1Char(',')));
    }
    QFile file(dir.filePath(QStringLiteral("record.csv")));
    const QStringList lines =
        file.open(QIODevice::ReadOnly)
            ? QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)
            : QStringList();
    if (lines.size() != run.Ticks + 1) {
        note(QStringLiteral("recording holds %1 lines for %2 ticks")
                 .arg(lines.size() - 1)
                 .arg(run.Ticks));
    }
    constexpr int kValueColumns = 1 + 3 + 3 + 8 + 3 + 1;  // time to status bits
    for (int n = 1; n < lines.size(); ++n) {
        const QStringList fields = lines[n].split(QLatin1Char(','));
        for (int c = 1; c < kValueColumns && c < fields.size(); ++c) {
            const bool fits = fields[c].isEmpty() ||
                              std::any_of(right.begin(), right.end(), [&](const QStringList& r) {
                                  return r.value(c) == fields[c];
                              });
            if (!fits) {
                note(QStringLiteral("recording line %1, column %2: %3")
                         .arg(n)
                         .arg(c)
                         .arg(fields[c]));
            }
        }
    }

    if (lengths.size() > 2) {
        uint64_t sum = 0;
        for (size_t k = 2; k < lengths.size(); ++k) {
            sum += lengths[k];
        }
        run.MeanTickMs = sum / (lengths.size() - 2);
        run.LongestTickMs = *std::max_element(lengths.begin(), lengths.end());
    }
    return run;
}

// The rows of the sweep, printed as one table once the sweep is over.
std::map<uint32_t, QueueRun>& SweepTable() {
    static std::map<uint32_t, QueueRun> table;
    return table;
}

}  // namespace

class TestLateReplies : public QObject {
    Q_OBJECT
private slots:
    void replyDelaySweep_data() {
        QTest::addColumn<int>("baud");
        QTest::newRow("9600 baud") << 9600;
        QTest::newRow("1200 baud") << 1200;
        QTest::newRow("19200 baud") << 19200;
    }
    void replyDelaySweep() {
        QFETCH(int, baud);
        SweepResult all;
        for (uint32_t delay = 0; delay <= 1500; ++delay) {
            RunWithDelay(baud, delay, all);
        }
        qInfo(
            "%d baud, reply delays 0-1500 ms: %d of %d ticks showed another read's value; "
            "longest tick %llu ms",
            baud, all.WrongTicks, all.Ticks, static_cast<unsigned long long>(all.LongestTick));
        QVERIFY2(all.WrongTicks == 0, qPrintable(all.FirstWrong));
    }

    // A busy device that queues every request and answers it D ms after taking it up, for D
    // from 0 to 2500 ms: whatever D, a field, a monitor row and a recorded line hold only what
    // the device holds for that read, or nothing.
    void queuingDeviceSweep_data() {
        QTest::addColumn<uint32_t>("delay");
        for (uint32_t delay = 0; delay <= 2500; delay += 50) {
            QTest::addRow("D = %u ms", delay) << delay;
        }
    }
    void queuingDeviceSweep() {
        QFETCH(uint32_t, delay);
        const QueueRun run = RunQueuedDevice(delay, 12);
        SweepTable()[delay] = run;
        QVERIFY2(run.Wrong.isEmpty(), qPrintable(run.Wrong.join(QStringLiteral("; "))));
        QCOMPARE(run.Ticks, 12);
    }
    void cleanupTestCase() {
        if (SweepTable().empty()) {
            return;
        }
        qInfo("Queuing device at 9600 baud, 12 poll ticks after the start sequence:");
        qInfo("| D (ms) | mean tick (ms) | longest tick (ms) | reads answered | wrong |");
        qInfo("|---|---|---|---|---|");
        for (const auto& [delay, run] : SweepTable()) {
            qInfo("| %u | %llu | %llu | %d of %d | %s |", delay,
                  static_cast<unsigned long long>(run.MeanTickMs),
                  static_cast<unsigned long long>(run.LongestTickMs), run.Answered, run.Reads,
                  run.Wrong.isEmpty() ? "none" : "yes");
        }
    }

    // What a failed read costs: a tick against a device that answers in time keeps its 1400 ms
    // of fixed waits; nothing is sent to a device while its reply may still come, so every
    // read after an unanswered one waits for that reply first: up to 3000 ms after its request
    // when none comes (five reads, 15 s), until it has come and the silence after it when it
    // is late (each read then costs its reply's delay, to the next 50 ms slice, plus 6 ms).
    void tickDuration_data() {
        QTest::addColumn<SimFaults>("faults");
        QTest::addColumn<uint64_t>("tickMs");  // a tick in the steady state
        SimFaults silent;
        silent.Silent = true;
        SimFaults late;
        late.ReplyDelayMs = 400;
        SimFaults later;
        later.ReplyDelayMs = 1000;
        QTest::newRow("answers in time") << SimFaults{} << uint64_t{1400};
        QTest::newRow("silent") << silent << uint64_t{15000};
        QTest::newRow("every reply 400 ms late") << late << uint64_t{2280};
        QTest::newRow("every reply 1000 ms late") << later << uint64_t{5280};
    }
    void tickDuration() {
        QFETCH(SimFaults, faults);
        QFETCH(uint64_t, tickMs);
        CDeviceRig rig;
        rig.Port.SetFaults(faults);
        ProtectionSettings settings;
        LiveValues live;
        std::vector<uint64_t> ticks;
        for (int tick = 0; tick < 4; ++tick) {
            const uint64_t start = rig.Clock.Elapsed();
            RunPollTick(rig.Ctx, &settings, &live);
            ticks.push_back(rig.Clock.Elapsed() - start);
        }
        qInfo("ticks: %llu, %llu, %llu, %llu ms", static_cast<unsigned long long>(ticks[0]),
              static_cast<unsigned long long>(ticks[1]), static_cast<unsigned long long>(ticks[2]),
              static_cast<unsigned long long>(ticks[3]));
        QCOMPARE(ticks.back(), tickMs);
    }
};

}  // namespace mp::test

QTEST_APPLESS_MAIN(mp::test::TestLateReplies)
#include "TestLateReplies.moc"
