// A device that answers late, swept across reply delays on the virtual clock: the start
// sequence and back-to-back poll ticks never show a value decoded from another read's reply,
// whatever the delay, and a device that answers in time keeps the ticks at their fixed waits.

#include <QtTest>

#include "monitoring/PollingCycle.h"
#include "support/DeviceRig.h"
#include "support/WrongValues.h"

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
