// The read command's start sequence and the poll tick against the simulated device: the
// requests on the line, the waits, the order of the window updates and the acquisition time.

#include <QtTest>

#include "SimulatedLink.h"
#include "monitoring/PollingCycle.h"
#include "support/Vectors.h"

namespace mp::test {
namespace {

// Runs the window side at once and logs what reached it: "post", "show" and "timer".
class CRecordingWindow : public IWindowQueue, public IPollTimer {
public:
    void Show(std::function<void()> change) override {
        if (change) {
            change();
        }
        Log << "show";
    }
    void Post(std::function<void()> fn) override {
        Log << "post";
        if (fn) {
            fn();
        }
    }
    void StartPollTimer() override { Log << "timer"; }
    void StopPollTimer() override { Log << "stop"; }
    QStringList Log;
};

std::vector<std::vector<uint8_t>> Requests(int address, const QStringList& names) {
    std::vector<std::vector<uint8_t>> frames;
    for (const QString& name : names) {
        frames.push_back(VectorFrame("request", address, name));
    }
    return frames;
}

std::vector<uint64_t> SendTimes(const CSimulatedPort& port) {
    std::vector<uint64_t> times;
    for (const auto& sent : port.Sent()) {
        times.push_back(sent.Time);
    }
    return times;
}

// Live values no read has touched.
LiveValues StaleLive() {
    LiveValues live;
    live.Currents.fill("old");
    live.Voltages.fill("old");
    live.Inputs.fill(Lamp::Red);
    live.Outputs.fill(Lamp::Red);
    live.OutputChecks.fill(true);
    live.StatusLamps = 0x55;
    return live;
}

bool SameLive(const LiveValues& a, const LiveValues& b) {
    return a.Currents == b.Currents && a.Voltages == b.Voltages && a.Inputs == b.Inputs &&
           a.Outputs == b.Outputs && a.OutputChecks == b.OutputChecks &&
           a.StatusLamps == b.StatusLamps;
}

const QStringList kStartRequests = {"settings block A", "settings block B", "phase currents",
                                    "phase voltages",   "digital inputs",   "output states",
                                    "settings block C"};
const QStringList kTickRequests = {"phase currents", "output states", "digital inputs",
                                   "phase voltages", "status register"};

}  // namespace

class TestPollingCycle : public QObject {
    Q_OBJECT
private slots:
    void startSequence_data() {
        QTest::addColumn<int>("address");
        QTest::newRow("address 1") << 1;
        QTest::newRow("address 247") << 247;
    }
    void startSequence() {
        QFETCH(int, address);
        CSimulatedLink rig(static_cast<uint8_t>(address));
        CRecordingWindow window;
        CDeviceContext ctx(rig.Link, window, window);
        ProtectionSettings settings;
        settings.CtRatio = "1";  // as typed before the command; block A replaces it
        LiveValues live;
        int failedReports = 0;
        bool reported = true;

        RunStartSequence(
            ctx, &settings, &live, [&] { window.Log << "lock"; },
            [&](bool failed) {
                ++failedReports;
                reported = failed;
                window.Log << "polling";
            });

        QVERIFY(rig.SentFrames() == Requests(address, kStartRequests));
        QCOMPARE(rig.Clock.Sleeps(), (std::vector<uint32_t>{500, 300, 300, 100, 200, 300, 100, 300,
                                                            300, 100, 200, 300, 300}));
        QCOMPARE(SendTimes(rig.Port),
                 (std::vector<uint64_t>{0, 800, 1200, 1400, 1800, 2100, 2700}));
        QCOMPARE(rig.Clock.Elapsed(), uint64_t{3300});

        // Two shows for block A, one per other read, then the lock, the final show, the
        // timer and the status text.
        QStringList expected;
        for (int k = 0; k < 8; ++k) {
            expected << "show";
        }
        expected << "post"
                 << "lock"
                 << "show"
                 << "timer"
                 << "post"
                 << "polling";
        QCOMPARE(window.Log, expected);
        QCOMPARE(failedReports, 1);
        QCOMPARE(reported, false);

        // The currents were decoded with the ratio block A had just read.
        QCOMPARE(Q(settings.CtRatio), QString("50"));
        QCOMPARE(Q(live.Currents[0]), QString("15.100"));
        QCOMPARE(Q(live.Voltages[1]), QString("380.50"));
        QCOMPARE(Q(settings.RatedVoltage), QString("380"));
        QCOMPARE(settings.BreakingCurrent, 9999);
        QVERIFY(!live.StatusLamps.has_value());  // the first tick reads the status lamps
    }

    // Block A or B without a reply is reported to the window; the sequence still runs to
    // its end and starts the poll.
    void startSequenceFailures_data() {
        QTest::addColumn<QStringList>("muted");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<bool>("failed");
        QTest::addColumn<int>("shows");
        QTest::newRow("all answered") << QStringList{} << false << false << 9;
        QTest::newRow("block A unanswered")
            << QStringList{"settings block A"} << false << true << 7;
        QTest::newRow("block B unanswered")
            << QStringList{"settings block B"} << false << true << 8;
        QTest::newRow("block C unanswered")
            << QStringList{"settings block C"} << false << false << 9;
        QTest::newRow("silent device") << QStringList{} << true << true << 2;
    }
    void startSequenceFailures() {
        QFETCH(QStringList, muted);
        QFETCH(bool, silent);
        QFETCH(bool, failed);
        QFETCH(int, shows);
        CSimulatedLink rig;
        rig.Line.Muted = Requests(1, muted);
        if (silent) {
            rig.Silence();
        }
        ProtectionSettings settings;
        settings.BreakingCurrent = 7;
        LiveValues live = StaleLive();
        const LiveValues stale = live;
        int reports = 0;
        bool reported = !failed;
        bool locked = false;
        RunStartSequence(
            rig.Ctx, &settings, &live, [&] { locked = true; },
            [&](bool settingsReadFailed) {
                ++reports;
                reported = settingsReadFailed;
            });
        QCOMPARE(reports, 1);
        QCOMPARE(reported, failed);
        QVERIFY(locked);
        QCOMPARE(rig.Window.TimerStarts, 1);
        QCOMPARE(rig.Window.Shows, shows);
        QCOMPARE(rig.Clock.Elapsed(), uint64_t{3300});
        if (silent) {
            QVERIFY(SameLive(live, stale));
            QCOMPARE(settings.BreakingCurrent, 0);  // block C decodes zeros
        }
    }

    void pollTick_data() {
        QTest::addColumn<int>("address");
        QTest::addColumn<QByteArray>("stray");
        QTest::newRow("address 1") << 1 << QByteArray();
        QTest::newRow("address 247") << 247 << QByteArray();
        QTest::newRow("stray bytes ahead of every reply") << 5 << QByteArray::fromHex("0503FF");
    }
    void pollTick() {
        QFETCH(int, address);
        QFETCH(QByteArray, stray);
        CSimulatedLink rig(static_cast<uint8_t>(address));
        SimFaults faults;
        faults.StrayBytes.assign(stray.begin(), stray.end());
        rig.SetFaults(faults);
        rig.Device.SetInputs(0xA5);
        rig.Device.SetCoils(0x02);
        rig.Device.SetRegister(0x011B, 0xFF81);
        CRecordingWindow window;
        CDeviceContext ctx(rig.Link, window, window);
        ProtectionSettings settings;
        settings.CtRatio = "100";
        LiveValues live;

        RunPollTick(ctx, &settings, &live);

        QVERIFY(rig.SentFrames() == Requests(address, kTickRequests));
        QCOMPARE(rig.Clock.Sleeps(), (std::vector<uint32_t>{200, 300, 300, 300, 300}));
        QCOMPARE(SendTimes(rig.Port), (std::vector<uint64_t>{0, 200, 500, 800, 1100}));
        // The address and the acquisition time are posted without a show of their own.
        QCOMPARE(window.Log,
                 (QStringList{"post", "show", "show", "show", "post", "show", "show", "show"}));
        QCOMPARE(live.CurrentAddress, address);
        QCOMPARE(live.AcquisitionTime, 800);
        QCOMPARE(Q(live.Currents[2]), QString("30.000"));
        QCOMPARE(Q(live.Voltages[0]), QString("380.00"));
        QCOMPARE(live.Inputs[0], Lamp::Red);
        QCOMPARE(live.Inputs[1], Lamp::Green);
        QCOMPARE(live.Outputs[1], Lamp::Red);
        QCOMPARE(live.StatusLamps, std::optional<uint8_t>(0x81));
    }

    // Nothing answers: every live value keeps what it showed, the address and the
    // acquisition time still change, and the tick ends with one show.
    void pollTickWithoutReplies_data() {
        QTest::addColumn<bool>("portClosed");
        QTest::newRow("silent device") << false;
        QTest::newRow("port not open") << true;
    }
    void pollTickWithoutReplies() {
        QFETCH(bool, portClosed);
        CSimulatedLink rig(12);
        if (portClosed) {
            rig.Port.ClosePort();
        } else {
            rig.Silence();
        }
        ProtectionSettings settings;
        settings.CtRatio = "100";
        LiveValues live = StaleLive();
        const LiveValues stale = live;
        RunPollTick(rig.Ctx, &settings, &live);
        QVERIFY(SameLive(live, stale));
        QCOMPARE(live.CurrentAddress, 12);
        QVERIFY(live.AcquisitionTime >= 800);
        QCOMPARE(rig.Window.Shows, 1);
        QCOMPARE(rig.SentFrames().size(), portClosed ? size_t{0} : size_t{5});
    }

    // The acquisition time is right when the millisecond count wraps during the tick.
    void acquisitionTimeAcrossWrap_data() {
        QTest::addColumn<uint>("clockStart");
        QTest::newRow("wraps during the output read") << 0xFFFFFFFFu - 250;
        QTest::newRow("wraps right after the start") << 0xFFFFFFFFu;
        QTest::newRow("reaches zero at the end") << 0xFFFFFFFFu - 799;
    }
    void acquisitionTimeAcrossWrap() {
        QFETCH(uint, clockStart);
        CSimulatedLink rig(1, clockStart);
        ProtectionSettings settings;
        LiveValues live;
        RunPollTick(rig.Ctx, &settings, &live);
        QCOMPARE(live.AcquisitionTime, 800);
        QCOMPARE(rig.Window.Shows, 6);  // the device kept answering across the wrap
    }
};

}  // namespace mp::test

QTEST_APPLESS_MAIN(mp::test::TestPollingCycle)
#include "TestPollingCycle.moc"
