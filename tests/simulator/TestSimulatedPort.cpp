// The in-process line to the simulated device: a reply arrives after the wire time of request
// and reply at the port's baud rate and parity, shaped by the fault knobs.

#include <QtTest>

#include "support/FrameTools.h"

Q_DECLARE_METATYPE(mp::SimFaults)

namespace mp::test {
namespace {

using Steps = std::vector<std::pair<int, int>>;  // (ms after the write, bytes waiting)

}  // namespace

class TestSimulatedPort : public QObject {
    Q_OBJECT
private slots:
    // 8 bytes out, 5 ms turnaround, 11 bytes back: 10 bits a byte without parity, 11 with.
    void replyArrival_data() {
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("parity");
        QTest::addColumn<SimFaults>("faults");
        QTest::addColumn<Steps>("steps");
        SimFaults delay;
        delay.ReplyDelayMs = 100;
        SimFaults stray;
        stray.StrayBytes = {0xAA, 0xBB};
        SimFaults split;
        split.SplitPieces = 3;
        split.PieceGapMs = 20;
        SimFaults silent;
        silent.Silent = true;
        SimFaults corrupt;
        corrupt.CorruptCrc = true;
        QTest::newRow("9600 N") << 9600 << 0 << SimFaults{} << Steps{{9 + 5 + 12, 11}};
        QTest::newRow("9600 E") << 9600 << 2 << SimFaults{} << Steps{{10 + 5 + 13, 11}};
        QTest::newRow("19200 O") << 19200 << 1 << SimFaults{} << Steps{{5 + 5 + 7, 11}};
        QTest::newRow("1200 N") << 1200 << 0 << SimFaults{} << Steps{{67 + 5 + 92, 11}};
        QTest::newRow("reply delay") << 9600 << 0 << delay << Steps{{126, 11}};
        QTest::newRow("stray bytes ahead, and their wire time")
            << 9600 << 0 << stray << Steps{{28, 13}};
        QTest::newRow("three pieces with pauses")
            << 9600 << 0 << split << Steps{{18, 3}, {42, 7}, {66, 11}};
        QTest::newRow("silence") << 9600 << 0 << silent << Steps{};
        QTest::newRow("corrupted CRC") << 9600 << 0 << corrupt << Steps{{26, 11}};
    }
    void replyArrival() {
        QFETCH(int, baud);
        QFETCH(int, parity);
        QFETCH(SimFaults, faults);
        QFETCH(Steps, steps);
        CSimulatedDevice device;
        device.SetLiveMotion(false);
        device.SetBaudCode(baud == 1200 ? 0 : baud == 19200 ? 4 : 3);
        CVirtualClock clock(50);
        CSimulatedPort port(device, clock);
        port.OpenPort({"COM2", baud, parity});
        port.SetFaults(faults);
        port.WriteBytes(VectorFrame("request", 1, "phase currents"));
        Steps seen;
        for (int t = 0; t <= 400; ++t, clock.Advance(1)) {
            const int count = port.WaitingCount();
            if (count != (seen.empty() ? 0 : seen.back().second)) {
                seen.emplace_back(t, count);
            }
        }
        QCOMPARE(seen, steps);
        const std::vector<uint8_t> input = port.ReadAllWaiting();
        QCOMPARE(input.size(), static_cast<size_t>(steps.empty() ? 0 : steps.back().second));
        if (!input.empty()) {
            QCOMPARE(Slice(input, 0, faults.StrayBytes.size()), faults.StrayBytes);
            const std::vector<uint8_t> reply = Slice(input, faults.StrayBytes.size(), input.size());
            QCOMPARE(reply[0], uint8_t{1});
            QCOMPARE(CrcHolds(reply), !faults.CorruptCrc);
        }
    }

    // A busy device that queues: it takes requests up one at a time in the order they came
    // and answers each `delay` ms after taking it up, so at 9600 baud a one-register read
    // (8 bytes out, 9 ms; 7 bytes back, 8 ms) is answered at arrival + delay + 8 when the
    // device is idle, and 8 + delay after the reply before it otherwise. When 16 wait, a
    // further request is lost.
    void queuedReplies_data() {
        QTest::addColumn<uint32_t>("delay");
        QTest::addColumn<QList<int>>("writeAt");   // ms of each request, register 0x0170 + k
        QTest::addColumn<QList<int>>("answerAt");  // ms its whole reply is in, -1 when lost
        QTest::newRow("idle between requests")
            << uint32_t{100} << QList<int>{0, 500} << QList<int>{117, 617};
        QTest::newRow("three behind each other")
            << uint32_t{100} << QList<int>{0, 10, 20} << QList<int>{117, 225, 333};
        QTest::newRow("the second arrives as the first is answered")
            << uint32_t{700} << QList<int>{0, 708, 1500} << QList<int>{717, 1425, 2217};
        QList<int> many;
        QList<int> answers;
        for (int k = 0; k < 20; ++k) {
            many << k;
            // One in service and 16 waiting; the three after them are lost.
            answers << (k < 17 ? 9 + (k + 1) * (20 + 8) : -1);
        }
        QTest::newRow("a full queue loses requests") << uint32_t{20} << many << answers;
    }
    void queuedReplies() {
        QFETCH(uint32_t, delay);
        QFETCH(QList<int>, writeAt);
        QFETCH(QList<int>, answerAt);
        CSimulatedDevice device;
        device.SetLiveMotion(false);
        for (uint16_t k = 0; k < 32; ++k) {
            device.SetRegister(static_cast<uint16_t>(0x0170 + k), static_cast<uint16_t>(1000 + k));
        }
        CVirtualClock clock;
        CSimulatedPort port(device, clock);
        port.OpenPort({"COM2", 9600, kParityNone});
        SimFaults faults;
        faults.QueueDelayMs = delay;
        port.SetFaults(faults);
        QList<int> seen(writeAt.size(), -1);
        std::vector<uint8_t> input;
        for (int t = 0; t <= 3000; ++t, clock.Advance(1)) {
            for (int k = 0; k < writeAt.size(); ++k) {
                if (writeAt[k] == t) {
                    port.WriteBytes(ReadFrame(1, static_cast<uint16_t>(0x0170 + k), 1));
                }
            }
            const std::vector<uint8_t> bytes = port.ReadAllWaiting();
            input.insert(input.end(), bytes.begin(), bytes.end());
            while (input.size() >= 7) {
                const std::vector<uint8_t> reply = Slice(input, 0, 7);
                input.erase(input.begin(), input.begin() + 7);
                QVERIFY(CrcHolds(reply));
                const int k = (reply[3] << 8 | reply[4]) - 1000;
                QVERIFY2(k >= 0 && k < seen.size() && seen[k] < 0, "a reply to no request");
                // In order: every earlier request answered or lost before this one.
                for (int earlier = 0; earlier < k; ++earlier) {
                    QVERIFY(seen[earlier] >= 0 || answerAt[earlier] < 0);
                }
                seen[k] = t;
            }
        }
        QVERIFY(input.empty());
        QCOMPARE(seen, answerAt);
    }

    // The adapter pulled out: the next use of the open port closes it and reports it lost,
    // once; opening fails until it is back, then works with the settings given.
    void unplugged() {
        CSimulatedDevice device;
        CVirtualClock clock;
        CSimulatedPort port(device, clock);
        QStringList lost;
        port.SetLostHandler(
            [&](const std::string& message) { lost << QString::fromStdString(message); });
        port.OpenPort({"COM3", 9600, kParityNone});
        port.SetUnplugged(true);
        port.WriteBytes(VectorFrame("request", 1, "phase currents"));
        QVERIFY(!port.IsPortOpen());
        QCOMPARE(lost, QStringList{"串口 COM3 出错：连接已断开"});
        QCOMPARE(port.WaitingCount(), int16_t{0});
        QVERIFY(port.Sent().empty());
        QVERIFY(!port.OpenPort({"COM3", 9600, kParityNone}));
        QCOMPARE(QString::fromStdString(port.LastError()),
                 QString("串口 COM3 打开失败：端口不存在"));
        port.SetUnplugged(false);
        QVERIFY(port.OpenPort({"COM3", 19200, kParityEven}));
        QCOMPARE(port.OpenAttempts(), 3);
        QCOMPARE(port.Settings().BaudRate, 19200);
        QCOMPARE(lost.size(), 1);
    }

    // What the line keeps stays bounded however long it runs: the newest frames sent, and an
    // input of a driver's size.
    void bounded() {
        CSimulatedDevice device;
        CVirtualClock clock;
        CSimulatedPort port(device, clock);
        port.OpenPort({"COM3", 9600, kParityNone});
        port.SetSentCapacity(3);
        device.SetRequestLogCapacity(2);
        for (uint8_t k = 0; k < 10; ++k) {
            port.WriteBytes(WithCrc({1, 0x03, 0x01, k, 0x00, 0x01}));
            clock.Advance(100);
        }
        const auto sent = port.Sent();
        QCOMPARE(sent.size(), size_t{3});
        QCOMPARE(int(sent.front().Bytes[3]), 7);
        QCOMPARE(int(sent.back().Bytes[3]), 9);
        QCOMPARE(device.Requests().size(), size_t{2});
        port.InjectInput(std::vector<uint8_t>(CSimulatedPort::kInputCapacity + 100, 0x55));
        QCOMPARE(port.WaitingCount(), int16_t(CSimulatedPort::kInputCapacity));
    }
};

}  // namespace mp::test

QTEST_GUILESS_MAIN(mp::test::TestSimulatedPort)
#include "TestSimulatedPort.moc"
