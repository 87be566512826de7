// The in-process line to the simulated device: replies arrive after the wire time of request
// and reply at the port's baud rate and parity, and the fault knobs shape them.

#include <QtTest>

#include "modbus/BitwiseCrc.h"
#include "simulator/SimulatedPort.h"
#include "simulator/VirtualClock.h"
#include "support/Vectors.h"

namespace mp::test {
namespace {

const std::vector<uint8_t> kRequest = VectorFrame("request", 1, "phase currents");

struct Line {
    Line(int baud, int parity) {
        Device.SetLiveMotion(false);
        Device.SetBaudCode(baud == 1200 ? 0 : baud == 19200 ? 4 : 3);
        Port.OpenPort({"COM2", baud, parity});
    }
    // Times (ms after the write) at which the waiting count changes, up to `horizon`.
    std::vector<std::pair<int, int>> Arrivals(int horizon) {
        std::vector<std::pair<int, int>> steps;
        int last = 0;
        for (int t = 0; t <= horizon; ++t) {
            const int count = Port.WaitingCount();
            if (count != last) {
                steps.emplace_back(t, count);
                last = count;
            }
            Clock.Advance(1);
        }
        return steps;
    }

    CSimulatedDevice Device;
    CVirtualClock Clock{50};
    CSimulatedPort Port{Device, Clock};
};

using Steps = std::vector<std::pair<int, int>>;

}  // namespace

class TestSimulatedPort : public QObject {
    Q_OBJECT
private slots:
    // 8 bytes out, 5 ms turnaround, 11 bytes back: 10 bits a byte without parity, 11 with.
    void replyAfterWireTime_data() {
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("parity");
        QTest::addColumn<int>("arrival");
        QTest::newRow("9600 N") << 9600 << 0 << 9 + 5 + 12;
        QTest::newRow("9600 E") << 9600 << 2 << 10 + 5 + 13;
        QTest::newRow("19200 O") << 19200 << 1 << 5 + 5 + 7;
        QTest::newRow("1200 N") << 1200 << 0 << 67 + 5 + 92;
    }
    void replyAfterWireTime() {
        QFETCH(int, baud);
        QFETCH(int, parity);
        QFETCH(int, arrival);
        Line line(baud, parity);
        line.Port.WriteBytes(kRequest);
        QCOMPARE(line.Arrivals(400), (Steps{{arrival, 11}}));
    }

    void faultsShapeTheReply_data() {
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
        QTest::newRow("no faults") << SimFaults{} << Steps{{26, 11}};
        QTest::newRow("reply delay") << delay << Steps{{126, 11}};
        QTest::newRow("stray bytes ahead, and their wire time") << stray << Steps{{28, 13}};
        QTest::newRow("three pieces with pauses") << split << Steps{{18, 3}, {42, 7}, {66, 11}};
        QTest::newRow("silence") << silent << Steps{};
    }
    void faultsShapeTheReply() {
        QFETCH(SimFaults, faults);
        QFETCH(Steps, steps);
        Line line(9600, kParityNone);
        line.Port.SetFaults(faults);
        line.Port.WriteBytes(kRequest);
        QCOMPARE(line.Arrivals(300), steps);
    }

    void corruptCrc() {
        Line line(9600, kParityNone);
        SimFaults corrupt;
        corrupt.CorruptCrc = true;
        line.Port.SetFaults(corrupt);
        line.Port.WriteBytes(kRequest);
        line.Clock.Advance(100);
        const std::vector<uint8_t> reply = line.Port.ReadAllWaiting();
        QCOMPARE(reply.size(), size_t{11});
        QVERIFY(!CrcHolds(reply));
        QCOMPARE(reply[0], uint8_t{1});
    }

    // A second reply queues behind the first instead of overtaking it.
    void repliesKeepTheirOrder() {
        Line line(9600, kParityNone);
        SimFaults slow;
        slow.ReplyDelayMs = 50;
        line.Port.SetFaults(slow);
        line.Port.WriteBytes(VectorFrame("request", 1, "close output A"));
        line.Port.SetFaults({});
        line.Port.WriteBytes(VectorFrame("request", 1, "output states"));
        line.Clock.Advance(200);
        const std::vector<uint8_t> input = line.Port.ReadAllWaiting();
        QCOMPARE(input.size(), size_t{8 + 6});
        QCOMPARE(input[1], uint8_t{0x05});
        QCOMPARE(input[9], uint8_t{0x01});
    }

    // At another baud rate the device hears garbage and answers nothing.
    void baudMismatch() {
        Line line(9600, kParityNone);
        line.Device.SetBaudCode(4);
        line.Port.WriteBytes(kRequest);
        QCOMPARE(line.Arrivals(300), Steps{});
        line.Port.Reconfigure({"COM2", 19200, kParityNone});
        line.Port.WriteBytes(kRequest);
        QCOMPARE(line.Arrivals(300).size(), size_t{1});
    }

    void discardDropsWhatHasArrivedOnly() {
        Line line(9600, kParityNone);
        line.Port.WriteBytes(kRequest);
        line.Clock.Advance(20);
        line.Port.DiscardInput();  // the reply is still on its way
        line.Clock.Advance(10);
        QCOMPARE(line.Port.WaitingCount(), int16_t{11});
        line.Port.DiscardInput();
        QCOMPARE(line.Port.WaitingCount(), int16_t{0});
    }

    void closedPort() {
        Line line(9600, kParityNone);
        line.Port.ClosePort();
        line.Port.ClosePort();
        QCOMPARE(line.Port.CloseCount(), 1);
        line.Port.WriteBytes(kRequest);
        QVERIFY(line.Port.Sent().empty());
        QVERIFY(line.Device.Requests().empty());
        line.Port.InjectInput({1, 2, 3});
        QCOMPARE(line.Port.WaitingCount(), int16_t{0});
        QVERIFY(line.Port.ReadAllWaiting().empty());
        QVERIFY(!line.Port.Reconfigure({"COM2", 9600, kParityNone}));
    }

    void openFailureAndLog() {
        CSimulatedDevice device;
        CVirtualClock clock(500);
        CSimulatedPort port(device, clock);
        port.SetOpenFailure("端口不存在");
        QVERIFY(!port.OpenPort({"COM9", 9600, kParityNone}));
        QCOMPARE(port.LastError(), std::string("端口不存在"));
        QVERIFY(!port.IsPortOpen());
        port.SetOpenFailure({});
        QVERIFY(port.OpenPort({"COM9", 9600, kParityNone}));
        QCOMPARE(port.OpenCount(), 1);
        port.WriteBytes(kRequest);
        clock.Advance(250);
        port.WriteBytes(kRequest);
        const std::vector<CSimulatedPort::SentFrame> sent = port.Sent();
        QCOMPARE(sent.size(), size_t{2});
        QCOMPARE(sent[1].Time - sent[0].Time, uint64_t{250});
        QCOMPARE(sent[0].Bytes, kRequest);
    }
};

}  // namespace mp::test

Q_DECLARE_METATYPE(mp::SimFaults)
Q_DECLARE_METATYPE(mp::test::Steps)

QTEST_GUILESS_MAIN(mp::test::TestSimulatedPort)
#include "TestSimulatedPort.moc"
