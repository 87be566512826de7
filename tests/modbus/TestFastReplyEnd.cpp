// Fast reply end of the read sequence against the simulated device on a virtual clock: a read
// ends its wait once its whole response is there and finds exactly what the full wait finds;
// a read whose reply never completes in time waits its full time; the next request keeps the
// 3.5-character silence.

#include <QtTest>

#include "modbus/ClosingClock.h"
#include "support/DeviceRig.h"

Q_DECLARE_METATYPE(mp::SimFaults)

namespace mp::test {
namespace {

int BaudCodeOf(int baud) {
    switch (baud) {
        case 1200:
            return 0;
        case 2400:
            return 1;
        case 4800:
            return 2;
        case 9600:
            return 3;
        default:
            return 4;
    }
}

}  // namespace
namespace {

struct ReadOutcome {
    int16_t Position = -1;
    std::vector<uint8_t> Received;
    uint64_t ElapsedMs = 0;
};

ReadOutcome ReadCurrents(const SimFaults& faults, int deviceAddress, bool fast) {
    CDeviceRig rig;
    rig.Device.SetAddress(static_cast<uint8_t>(deviceAddress));
    rig.Device.SetRegister(0x0106, 1234);
    rig.Device.SetRegister(0x0107, 0);
    rig.Device.SetRegister(0x0108, 65535);
    rig.Port.SetFaults(faults);
    rig.Link.SetFastReplyEnd(fast, 9600);
    ReadOutcome outcome;
    outcome.Position = rig.Link.ReadSequence(0x03, 0x0106, 3, 200);
    outcome.ElapsedMs = rig.Clock.Elapsed();
    outcome.Received.assign(rig.Link.Rx().begin(),
                            rig.Link.Rx().begin() + rig.Link.ReceivedCount());
    return outcome;
}

}  // namespace

class TestFastReplyEnd : public QObject {
    Q_OBJECT
private slots:
    void endsOnceTheWholeReplyIsThere_data() {
        QTest::addColumn<SimFaults>("faults");
        QTest::addColumn<int>("deviceAddress");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("elapsedMs");  // 200: the full wait
        // 9 ms out, 5 ms turnaround, 12 ms back at 9600 baud.
        QTest::newRow("answers") << SimFaults{} << 1 << 0 << 26;
        QTest::newRow("two stray bytes ahead") << Faults({0xFF, 0x00}) << 1 << 2 << 28;
        QTest::newRow("split in four pieces, 30 ms apart")
            << Faults({}, false, false, 0, 4, 30) << 1 << 0 << 116;
        QTest::newRow("split across most of the wait: last piece at 196 ms")
            << Faults({}, false, false, 170) << 1 << 0 << 196;
        QTest::newRow("late: byte by byte from 195 ms, incomplete at the wait's end")
            << Faults({}, false, false, 180, 11) << 1 << -1 << 200;
        QTest::newRow("late: whole reply after the wait")
            << Faults({}, false, false, 250) << 1 << -1 << 200;
        QTest::newRow("silent device") << Faults({}, true) << 1 << -1 << 200;
        QTest::newRow("bad CRC: never complete") << Faults({}, false, true) << 1 << -1 << 200;
        QTest::newRow("stray bytes and bad CRC")
            << Faults({0x01, 0x03}, false, true) << 1 << -1 << 200;
        QTest::newRow("device at another address") << SimFaults{} << 2 << -1 << 200;
    }
    void endsOnceTheWholeReplyIsThere() {
        QFETCH(SimFaults, faults);
        QFETCH(int, deviceAddress);
        QFETCH(int, position);
        QFETCH(int, elapsedMs);

        const ReadOutcome fast = ReadCurrents(faults, deviceAddress, true);
        const ReadOutcome normal = ReadCurrents(faults, deviceAddress, false);

        QCOMPARE(fast.Position, static_cast<int16_t>(position));
        QCOMPARE(fast.ElapsedMs, static_cast<uint64_t>(elapsedMs));
        QCOMPARE(normal.ElapsedMs, uint64_t{200});
        // What the read found is what the full wait finds, byte for byte.
        QCOMPARE(fast.Position, normal.Position);
        QCOMPARE(fast.Received, normal.Received);
    }

    // A late reply of a fast read is dropped by the next read's discard, as in normal mode.
    void lateReplyDroppedByNextRead() {
        CDeviceRig rig;
        rig.Link.SetFastReplyEnd(true, 9600);
        rig.Device.SetRegister(0x0103, 2200);
        rig.Port.SetFaults(Faults({}, false, false, 250));
        QCOMPARE(rig.Link.ReadSequence(0x03, 0x0106, 3, 200), int16_t{-1});
        rig.Port.SetFaults({});
        rig.Clock.Advance(100);
        const int16_t p = rig.Link.ReadSequence(0x03, 0x0103, 3, 300);
        QCOMPARE(p, int16_t{0});
        QCOMPARE(rig.Link.ReceivedCount(), int16_t{11});
        QCOMPARE(rig.Link.Register(p, 0), uint16_t{2200});
    }

    void silenceAtBaudRate_data() {
        QTest::addColumn<int>("baud");
        QTest::addColumn<uint32_t>("silenceMs");
        // 3.5 × 11 bits, rounded up, 1 ms spare.
        QTest::newRow("2400") << 2400 << 18u;
        QTest::newRow("4800") << 4800 << 10u;
        QTest::newRow("9600") << 9600 << 6u;
        QTest::newRow("19200") << 19200 << 4u;
    }
    void silenceAtBaudRate() {
        QFETCH(int, baud);
        QFETCH(uint32_t, silenceMs);
        QCOMPARE(CModbusTransaction::SilenceMs(baud), silenceMs);
    }

    // The silence follows the line: after the port was set to another rate (a reconnect, a
    // device search), the silence is that rate's, as for a line opened at it (it kept the old
    // rate's length).
    void silenceFollowsTheLine_data() {
        QTest::addColumn<int>("baud");
        QTest::newRow("down to 1200") << 1200;
        QTest::newRow("up to 19200") << 19200;
    }
    void silenceFollowsTheLine() {
        QFETCH(int, baud);
        auto gap = [baud](bool changed) {
            CDeviceRig rig;
            rig.Device.SetBaudCode(BaudCodeOf(baud));
            if (changed) {
                rig.Link.SetFastReplyEnd(true, 9600);
                rig.Link.ReconfigureLine({"sim", baud, kParityNone});
            } else {
                rig.Port.Reconfigure({"sim", baud, kParityNone});
                rig.Link.SetFastReplyEnd(true, baud);
            }
            rig.Link.ReadSequence(0x03, 0x0106, 3, 500);
            rig.Link.ReadSequence(0x03, 0x0103, 3, 500);
            const auto sent = rig.Port.Sent();
            return sent.at(1).Time - sent.at(0).Time;
        };
        QCOMPARE(gap(true), gap(false));
    }

    // A line's scheduler reads with fast reply end and switches it off after each visit; a
    // relay window's frame right after keeps the silence after the visit's last early reply,
    // at the line's rate, read or write alike.
    void silenceKeptOnceFastReplyEndIsOff_data() {
        QTest::addColumn<int>("baud");
        QTest::addColumn<bool>("write");
        QTest::addColumn<uint64_t>("gapMs");  // reply complete, then the silence
        QTest::newRow("read at 9600") << 9600 << false << uint64_t{26 + 6};
        QTest::newRow("write at 9600") << 9600 << true << uint64_t{26 + 6};
        QTest::newRow("read at 19200") << 19200 << false << uint64_t{16 + 4};
    }
    void silenceKeptOnceFastReplyEndIsOff() {
        QFETCH(int, baud);
        QFETCH(bool, write);
        QFETCH(uint64_t, gapMs);
        CDeviceRig rig;
        rig.Device.SetBaudCode(BaudCodeOf(baud));
        rig.Port.Reconfigure({"sim", baud, kParityNone});
        rig.Link.SetFastReplyEnd(true, baud);
        QCOMPARE(rig.Link.ReadSequence(0x03, 0x0106, 3, 200), int16_t{0});
        rig.Link.SetFastReplyEnd(false, baud);
        if (write) {
            const std::vector<uint8_t> frame = WriteFrame(1, 0x0153, {0x00, 0x32});
            std::copy(frame.begin(), frame.end(), rig.Link.Tx().begin());
            rig.Link.WriteSequence(static_cast<int16_t>(frame.size()), 0);
        } else {
            rig.Link.ReadSequence(0x03, 0x0103, 3, 300);
        }
        const auto sent = rig.Port.Sent();
        QCOMPARE(sent.size(), size_t{2});
        QCOMPARE(sent[1].Time - sent[0].Time, gapMs);
    }

    // A read that starts just after the close (the line's clock has leapt and stands still)
    // ends instead of waiting for ever for a reply that cannot come.
    void readEndsOnAClosedClock() {
        CDeviceRig rig;
        CClosingClock closing(rig.Clock);
        CModbusTransaction link(rig.Port, closing);
        link.SetFastReplyEnd(true, 9600);
        rig.Port.SetFaults(Faults({}, true));
        closing.EndSleeps();
        QCOMPARE(link.ReadSequence(0x03, 0x0106, 3, 200), int16_t{-1});
    }

    // The request after an early reply waits for the silence.
    void nextRequestKeepsTheSilence() {
        CDeviceRig rig;
        rig.Link.SetFastReplyEnd(true, 9600);
        QCOMPARE(rig.Link.ReadSequence(0x03, 0x0106, 3, 200), int16_t{0});
        QCOMPARE(rig.Link.ReadSequence(0x03, 0x0103, 3, 300), int16_t{0});
        const auto sent = rig.Port.Sent();
        QCOMPARE(sent.size(), size_t{2});
        // Reply complete 26 ms after the first request, then 6 ms of silence.
        QCOMPARE(sent[1].Time - sent[0].Time, uint64_t{26 + 6});

        rig.Port.ClearSent();
        rig.Port.SetFaults(Faults({}, true));
        QCOMPARE(rig.Link.ReadSequence(0x03, 0x0106, 3, 200), int16_t{-1});
        rig.Port.SetFaults({});
        // Nothing goes to the device while the unanswered read's reply may still come: the
        // next request, whatever its shape, waits until 3000 ms after that read's.
        QCOMPARE(rig.Link.ReadSequence(0x03, 0x011B, 1, 300), int16_t{0});
        const auto after = rig.Port.Sent();
        QCOMPARE(after[1].Time - after[0].Time, uint64_t{CModbusTransaction::kLateReplyMs});
    }
};

}  // namespace mp::test

QTEST_GUILESS_MAIN(mp::test::TestFastReplyEnd)
#include "TestFastReplyEnd.moc"
