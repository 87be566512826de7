// The live reads, the read command's start sequence and the poll tick against the simulated
// device: the requests on the line, the waits, the window updates and their order, the
// decoded values, and what a device that does not answer leaves.

#include <QtTest>

#include "monitoring/LiveReads.h"
#include "monitoring/PollingCycle.h"
#include "support/DeviceRig.h"
#include "support/TestTranslator.h"
#include "support/Vectors.h"

Q_DECLARE_METATYPE(mp::SimFaults)

namespace mp::test {
namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// Logs what reaches the window side ("post", "show", "timer") and runs it at once, or holds
// it until RunHeld() when Hold is set, as a busy window thread would.
class CRecordingWindow : public IWindowQueue, public IPollTimer {
public:
    void Show(std::function<void()> change) override { Take("show", std::move(change)); }
    void Post(std::function<void()> fn) override { Take("post", std::move(fn)); }
    void StartPollTimer() override { Log << "timer"; }
    void StopPollTimer() override { Log << "stop"; }
    void RunHeld() {
        for (auto& fn : Held) {
            fn();
        }
        Held.clear();
    }
    QStringList Log;
    bool Hold = false;
    std::vector<std::function<void()>> Held;

private:
    void Take(const char* what, std::function<void()> fn) {
        Log << what;
        if (fn) {
            Hold ? Held.push_back(std::move(fn)) : fn();
        }
    }
};

std::vector<std::vector<uint8_t>> Requests(int address, const QStringList& names) {
    std::vector<std::vector<uint8_t>> frames;
    for (const QString& name : names) {
        frames.push_back(VectorFrame("request", address, name));
    }
    return frames;
}

// Times of the requests on the line, from the first.
std::vector<uint64_t> SendTimes(const CSimulatedPort& port) {
    std::vector<uint64_t> times;
    for (const auto& sent : port.Sent()) {
        times.push_back(sent.Time - port.Sent().front().Time);
    }
    return times;
}

template <size_t N>
QString LampsText(const std::array<Lamp, N>& lamps) {
    QString text;
    for (Lamp lamp : lamps) {
        text += lamp == Lamp::Red ? 'R' : lamp == Lamp::Green ? 'G' : '?';
    }
    return text;
}

SimFaults Silent() {
    SimFaults faults;
    faults.Silent = true;
    return faults;
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
    // Block A, B or C without a reply is reported to the window and leaves its fields as they
    // were. The sequence always runs to its end, with the same requests and waits (a read
    // whose shape an unanswered read shares first waits out the late reply), and starts the
    // poll.
    void startSequence_data() {
        QTest::addColumn<int>("address");
        QTest::addColumn<SimFaults>("faults");
        QTest::addColumn<int>("silentAfter");  // requests answered before silence; -1: none
        QTest::addColumn<bool>("failed");
        QTest::addColumn<QStringList>("reads");  // what the reads hand the window
        QTest::addColumn<QString>("current");    // phase A, decoded with the ratio then held
        QTest::addColumn<int>("breakingCurrent");
        QTest::addColumn<std::vector<uint32_t>>("sleeps");
        QTest::addColumn<std::vector<uint64_t>>("sendTimes");
        // One byte at a time, 15 ms apart: block A's 37-byte reply completes after 593 ms,
        // past its 500 ms wait; the shorter replies are in time.
        SimFaults slowBytes;
        slowBytes.SplitPieces = 37;
        slowBytes.PieceGapMs = 15;
        const SimFaults none;
        const std::vector<uint32_t> fixed = {500, 300, 300, 100, 200, 300, 100,
                                             300, 300, 100, 200, 300, 300};
        const std::vector<uint64_t> onTime = {0, 800, 1200, 1400, 1800, 2100, 2700};
        // Nothing is sent while a reply may still come: after an unanswered read, the next
        // request waits until 3000 ms after the unanswered one.
        const std::vector<uint32_t> owedAfterA = JoinSleeps({{500, 300},
                                                             OwedWait(2200),
                                                             {300, 100},
                                                             OwedWait(2600),
                                                             {200},
                                                             OwedWait(2800),
                                                             {300, 100},
                                                             OwedWait(2600),
                                                             {300},
                                                             OwedWait(2700),
                                                             {300, 100, 200},
                                                             OwedWait(2400),
                                                             {300, 300}});
        const std::vector<uint64_t> lateAfterA = {0, 3000, 6000, 9000, 12000, 15000, 18000};
        const std::vector<uint32_t> owedAfterB = JoinSleeps({{500, 300, 300, 100},
                                                             OwedWait(2600),
                                                             {200},
                                                             OwedWait(2800),
                                                             {300, 100},
                                                             OwedWait(2600),
                                                             {300},
                                                             OwedWait(2700),
                                                             {300, 100, 200},
                                                             OwedWait(2400),
                                                             {300, 300}});
        const std::vector<uint64_t> lateAfterB = {0, 800, 3800, 6800, 9800, 12800, 15800};
        // Block A's reply, complete at 593 ms, is there when block B is due: dropped, and
        // block B keeps the 3.5-character silence after it (6 ms at 9600).
        const std::vector<uint32_t> slowA = {500, 300, 6,   300, 100, 200, 300,
                                             100, 300, 300, 100, 200, 300, 300};
        const std::vector<uint64_t> slowATimes = {0, 806, 1206, 1406, 1806, 2106, 2706};
        // A show per answered read (two for block A); an unanswered live read hands over its
        // stale mark without a show, an unanswered settings block hands over nothing.
        const QStringList all(8, "show");
        const QStringList noLive = QStringList{"show", "show"} + QStringList(4, "post");
        const QStringList noReads = QStringList(4, "post");
        QTest::newRow("address 1")
            << 1 << none << -1 << false << all << "15.100" << 9999 << fixed << onTime;
        QTest::newRow("address 247")
            << 247 << none << -1 << false << all << "15.100" << 9999 << fixed << onTime;
        QTest::newRow("block A unanswered")
            << 1 << slowBytes << -1 << true << QStringList(6, "show") << "0.302" << 9999 << slowA
            << slowATimes;
        QTest::newRow("block B and the rest unanswered")
            << 1 << none << 1 << true << noLive << "" << 1234 << owedAfterB << lateAfterB;
        QTest::newRow("block C unanswered") << 1 << none << 6 << true << QStringList(7, "show")
                                            << "15.100" << 1234 << fixed << onTime;
        QTest::newRow("silent device")
            << 1 << none << 0 << true << noReads << "" << 1234 << owedAfterA << lateAfterA;
    }
    void startSequence() {
        QFETCH(int, address);
        QFETCH(SimFaults, faults);
        QFETCH(int, silentAfter);
        QFETCH(bool, failed);
        QFETCH(QStringList, reads);
        QFETCH(QString, current);
        QFETCH(int, breakingCurrent);
        QFETCH(std::vector<uint32_t>, sleeps);
        QFETCH(std::vector<uint64_t>, sendTimes);
        CDeviceRig rig(static_cast<uint8_t>(address));
        rig.Port.SetFaults(faults);
        rig.Link.SetTrace([&rig, silentAfter, sent = 0](bool outgoing, const auto&) mutable {
            if (outgoing && sent++ == silentAfter) {
                rig.Port.SetFaults(Silent());
            }
        });
        CRecordingWindow window;
        CDeviceContext ctx(rig.Link, window, window);
        ProtectionSettings settings;
        settings.CtRatio = "1";           // as typed before the command; block A replaces it
        settings.BreakingCurrent = 1234;  // block C replaces it
        LiveValues live;
        QList<bool> reports;

        RunStartSequence(
            ctx, &settings, &live, [&] { window.Log << "lock"; },
            [&](bool f) {
                reports << f;
                window.Log << "polling";
            });

        QVERIFY(rig.SentFrames() == Requests(address, kStartRequests));
        QCOMPARE(rig.Clock.Sleeps(), sleeps);
        QCOMPARE(SendTimes(rig.Port), sendTimes);
        // The reads, then the lock, the final show, the timer and the status text.
        QCOMPARE(window.Log,
                 reads + QStringList({"post", "lock", "show", "timer", "post", "polling"}));
        QCOMPARE(reports, QList<bool>{failed});
        QCOMPARE(Q(live.Currents[0]), current);
        QCOMPARE(settings.BreakingCurrent, breakingCurrent);
        QVERIFY(!live.StatusLamps.has_value());  // the first tick reads the status lamps
        QCOMPARE(live.Freshness.Of(LiveGroup::Currents).Stale, current.isEmpty());
        QCOMPARE(live.Freshness.MissedInRow(), current.isEmpty() ? 4 : 0);
    }

    // Inputs: bit k is DI k+1; outputs: bits 0 to 2 are A, B and reset, into the lamps and
    // their check boxes; red for 1. The status lamps take the register's low byte only.
    void pollTick_data() {
        QTest::addColumn<int>("address");
        QTest::addColumn<QByteArray>("stray");
        QTest::addColumn<int>("inputs");
        QTest::addColumn<int>("coils");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("lamps");
        QTest::addColumn<uint>("clockStart");  // the acquisition time is right across a wrap
        QTest::newRow("address 1")
            << 1 << QByteArray() << 0xA5 << 0x02 << 0xFF81 << "RGRGGRGR GRG 010 81" << 0u;
        QTest::newRow("address 247, status 0xFF00, clock wraps during the output read")
            << 247 << QByteArray() << 0xFF << 0xF8 << 0xFF00 << "RRRRRRRR GGG 000 0"
            << 0xFFFFFFFFu - 250;
        QTest::newRow("stray bytes ahead of every reply, clock wraps after the start")
            << 5 << QByteArray::fromHex("0503FF") << 0x00 << 0x05 << 0x0080 << "GGGGGGGG RGR 101 80"
            << 0xFFFFFFFFu;
        QTest::newRow("clock reaches zero at the end")
            << 1 << QByteArray() << 0xA5 << 0x02 << 0x0081 << "RGRGGRGR GRG 010 81"
            << 0xFFFFFFFFu - 799;
    }
    void pollTick() {
        QFETCH(int, address);
        QFETCH(QByteArray, stray);
        QFETCH(int, inputs);
        QFETCH(int, coils);
        QFETCH(int, status);
        QFETCH(QString, lamps);
        QFETCH(uint, clockStart);
        CDeviceRig rig(static_cast<uint8_t>(address));
        rig.Clock.Advance(clockStart);
        SimFaults faults;
        faults.StrayBytes.assign(stray.begin(), stray.end());
        rig.Port.SetFaults(faults);
        rig.Device.SetInputs(static_cast<uint8_t>(inputs));
        rig.Device.SetCoils(static_cast<uint8_t>(coils));
        rig.Device.SetRegister(kStatusRegister, static_cast<uint16_t>(status));
        CRecordingWindow window;
        CDeviceContext ctx(rig.Link, window, window);
        ProtectionSettings settings;
        settings.CtRatio = "100";
        LiveValues live;
        live.OutputChecks = {true, false, true};

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
        QVERIFY(live.StatusLamps.has_value());
        QString checks;
        for (bool check : live.OutputChecks) {
            checks += check ? '1' : '0';
        }
        QCOMPARE(LampsText(live.Inputs) + ' ' + LampsText(live.Outputs) + ' ' + checks + ' ' +
                     QString::number(*live.StatusLamps, 16),
                 lamps);
    }

    // Nothing answers: every live value keeps what it showed but is marked stale, with the
    // reason; the address and the acquisition time still change, and the tick ends with one
    // show. The next tick with replies takes the marks away.
    void pollTickWithoutReplies_data() {
        QTest::addColumn<bool>("portClosed");
        QTest::addColumn<QString>("link");
        QTest::newRow("silent device") << false << "设备无应答 (连续 10 次)";
        QTest::newRow("port not open") << true << "串口未打开 (连续 10 次)";
    }
    void pollTickWithoutReplies() {
        QFETCH(bool, portClosed);
        QFETCH(QString, link);
        CDeviceRig rig(12);
        if (portClosed) {
            rig.Port.ClosePort();
        } else {
            rig.Port.SetFaults(Silent());
        }
        ProtectionSettings settings;
        settings.CtRatio = "100";
        LiveValues live;
        live.Currents.fill("old");
        live.Voltages.fill("old");
        live.Inputs.fill(Lamp::Red);
        live.Outputs.fill(Lamp::Red);
        live.OutputChecks.fill(true);
        live.StatusLamps = 0x55;
        const LiveValues stale = live;
        RunPollTick(rig.Ctx, &settings, &live);
        QVERIFY(live.Currents == stale.Currents && live.Voltages == stale.Voltages);
        QVERIFY(live.Inputs == stale.Inputs && live.Outputs == stale.Outputs);
        QVERIFY(live.OutputChecks == stale.OutputChecks && live.StatusLamps == stale.StatusLamps);
        QCOMPARE(live.CurrentAddress, 12);
        QVERIFY(live.AcquisitionTime >= 800);
        QCOMPARE(rig.Window.Shows, 1);
        QCOMPARE(rig.SentFrames().size(), portClosed ? size_t{0} : size_t{5});

        // A second tick without replies: stale since the first.
        const int64_t since = live.Freshness.Of(LiveGroup::Currents).SinceMs;
        RunPollTick(rig.Ctx, &settings, &live);
        const ReadFailure reason = portClosed ? ReadFailure::PortClosed : ReadFailure::NoReply;
        for (size_t group = 0; group < kLiveGroupCount; ++group) {
            const Staleness& mark = live.Freshness.Of(static_cast<LiveGroup>(group));
            QVERIFY(mark.Stale && mark.Reason == reason);
            QVERIFY(mark.SinceMs >= since && mark.SinceMs > 0);
        }
        QCOMPARE(live.Freshness.Of(LiveGroup::Currents).SinceMs, since);
        QCOMPARE(Q(live.Freshness.LinkText()), link);

        if (portClosed) {
            rig.Port.OpenPort({"sim", 9600, kParityNone});
        }
        rig.Port.SetFaults({});
        rig.Clock.Advance(CModbusTransaction::kLateReplyMs);  // nothing owed any more
        RunPollTick(rig.Ctx, &settings, &live);
        QVERIFY(!live.Freshness.AnyStale());
        QCOMPARE(Q(live.Freshness.LinkText()), QString("通讯正常"));
        QCOMPARE(Q(live.Currents[0]), QString("30.200"));
    }

    // In English the link state is one English phrase, the reason translated inside it.
    void linkTextInEnglish_data() {
        QTest::addColumn<int>("misses");
        QTest::addColumn<bool>("portClosed");
        QTest::addColumn<QString>("link");
        QTest::newRow("silent device") << 3 << false << "No reply from the device (3 in a row)";
        QTest::newRow("port not open") << 1 << true << "Serial port not open (1 in a row)";
        QTest::newRow("answered") << 0 << false << "Communication OK";
    }
    void linkTextInEnglish() {
        QFETCH(int, misses);
        QFETCH(bool, portClosed);
        QFETCH(QString, link);
        const auto mt = [](const char* source) {
            return qMakePair(QStringLiteral("MotorProtector"), QString::fromUtf8(source));
        };
        const CTestTranslator english({{mt("%1 (连续 %2 次)"), "%1 (%2 in a row)"},
                                       {mt("设备无应答"), "No reply from the device"},
                                       {mt("串口未打开"), "Serial port not open"},
                                       {mt("通讯正常"), "Communication OK"}});
        CLiveFreshness freshness;
        freshness.MarkRead(LiveGroup::Currents);
        for (int k = 0; k < misses; ++k) {
            freshness.MarkMissed(LiveGroup::Voltages,
                                 portClosed ? ReadFailure::PortClosed : ReadFailure::NoReply, 1);
        }
        QCOMPARE(Q(freshness.LinkText()), link);
    }

    // Each live value read gives what the device holds, or nothing with the reason the link
    // found: no zeros, and no bytes of a reply to another request. Nothing is shown.
    void liveFetchGivesValuesOrReason_data() {
        QTest::addColumn<SimFaults>("faults");
        QTest::addColumn<int>("failure");  // ReadFailure; -1 when the device answered
        QTest::newRow("reply") << SimFaults{} << -1;
        QTest::newRow("silent device") << Silent() << int(ReadFailure::NoReply);
        QTest::newRow("bad CRC") << Faults({}, false, true) << int(ReadFailure::BadCrc);
        QTest::newRow("a write's echo ahead")
            << Faults(WithCrc({0x01, 0x05, 0x00, 0x00, 0xFF, 0x00}))
            << int(ReadFailure::WrongReply);
    }
    void liveFetchGivesValuesOrReason() {
        QFETCH(SimFaults, faults);
        QFETCH(int, failure);
        CDeviceRig rig;
        const uint16_t registers[] = {2200, 3805, 65535, 1234, 0, 65535};  // 0x0103..0x0108
        for (uint16_t k = 0; k < 6; ++k) {
            rig.Device.SetRegister(static_cast<uint16_t>(0x0103 + k), registers[k]);
        }
        rig.Device.SetRegister(0x011B, 0x7F80);
        rig.Device.SetInputs(0xA5);
        rig.Device.SetCoils(0x05);
        rig.Port.SetFaults(faults);
        const auto judged = [&](bool answered) {
            return answered == (failure < 0) &&
                   (answered || int(LiveReadFailure(rig.Link)) == failure);
        };

        const auto currents = FetchPhaseCurrents(rig.Ctx);
        QVERIFY(judged(currents.has_value()));
        const auto voltages = FetchPhaseVoltages(rig.Ctx);
        QVERIFY(judged(voltages.has_value()));
        const auto inputs = FetchDigitalInputs(rig.Ctx);
        QVERIFY(judged(inputs.has_value()));
        const auto outputs = FetchOutputStates(rig.Ctx);
        QVERIFY(judged(outputs.has_value()));
        const auto status = FetchStatusLamps(rig.Ctx);
        QVERIFY(judged(status.has_value()));
        QCOMPARE(rig.Window.Shows, 0);
        if (failure < 0) {
            QCOMPARE(currents->Counts, (std::array<uint16_t, 3>{1234, 0, 65535}));
            QCOMPARE(voltages->Tenths, (std::array<uint16_t, 3>{2200, 3805, 65535}));
            QCOMPARE(int(inputs->Bits), 0xA5);
            QCOMPARE(int(outputs->Bits), 0x05);
            QCOMPARE(int(status->LowByte), 0x80);
        }
    }

    // The currents take the CT ratio as the window holds it when it decodes them, and the
    // worker leaves the window's values alone until then.
    void currentsUseRatioAtDecodeTime() {
        CDeviceRig rig;
        CRecordingWindow window;
        window.Hold = true;
        CDeviceContext ctx(rig.Link, window, window);
        ProtectionSettings settings;
        settings.CtRatio = "1";
        LiveValues live;
        QVERIFY(ReadPhaseCurrents(ctx, &settings, &live));
        QCOMPARE(Q(live.Currents[0]), QString());
        settings.CtRatio = "10";
        window.RunHeld();
        QCOMPARE(Q(live.Currents[0]), QString("3.020"));
    }
};

}  // namespace mp::test

QTEST_APPLESS_MAIN(mp::test::TestPollingCycle)
#include "TestPollingCycle.moc"
