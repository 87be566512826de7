// The real serial port end to end, over a pseudo-terminal: the tool's side through Qt Serial
// Port on this thread, the simulated device served on the other end by a second thread. Real
// time, kept short.

#include <QtTest>
#include <chrono>
#include <memory>

#include "support/PtyDeviceRig.h"
#include "support/Vectors.h"

namespace mp::test {
namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

}  // namespace

class TestSerialPty : public QObject {
    Q_OBJECT
private slots:
    // A reply that arrives in pieces, behind a stray byte, while the exchange waits is taken
    // in and located; the wait lasts its whole time all the same.
    void replyInPiecesDuringTheWait() {
        SimFaults faults;
        faults.StrayBytes = {0xFF};
        faults.SplitPieces = 3;
        faults.PieceGapMs = 30;
        CPtyDeviceRig rig(faults);
        QVERIFY2(rig.Ready, rig.Server.LastError().c_str());
        QVERIFY2(rig.Connect(), rig.Port.LastError().c_str());
        const auto started = SteadyClock::now();
        const int16_t p = rig.Link.ReadSequence(0x03, 0x0106, 3, 200);
        const auto took = SteadyClock::now() - started;

        QCOMPARE(rig.Device.Requests(),
                 (std::vector<std::vector<uint8_t>>{VectorFrame("request", 1, "phase currents")}));
        QCOMPARE(p, int16_t{1});
        QCOMPARE(rig.Link.ReceivedCount(), int16_t{12});
        QCOMPARE(rig.Link.Register(p, 0), uint16_t{1234});
        QCOMPARE(rig.Link.Register(p, 2), uint16_t{65535});
        QVERIFY(took >= 200ms);
    }

    // A reply that arrives after the wait is missed, and the next exchange's discard drops
    // it, whether it sits in the program's buffer or still in the system's.
    void lateReplyDroppedByTheNextExchange_data() {
        QTest::addColumn<bool>("receiving");
        QTest::newRow("taken in by a receiving wait") << true;
        QTest::newRow("left in the system's input") << false;
    }
    void lateReplyDroppedByTheNextExchange() {
        QFETCH(bool, receiving);
        SimFaults late;
        late.ReplyDelayMs = 100;  // every reply complete some 130 ms after its request
        CPtyDeviceRig rig(late);
        QVERIFY(rig.Ready);
        QVERIFY(rig.Connect());
        QCOMPARE(rig.Link.ReadSequence(0x03, 0x0106, 3, 50), int16_t{-1});
        QCOMPARE(rig.Link.ReceivedCount(), int16_t{0});
        if (receiving) {
            rig.Clock.Sleep(250);
        } else {
            std::this_thread::sleep_for(250ms);
        }
        const int16_t p = rig.Link.ReadSequence(0x03, 0x0103, 3, 250);
        QCOMPARE(p, int16_t{0});
        QCOMPARE(rig.Link.ReceivedCount(), int16_t{11});
        QCOMPARE(rig.Link.Register(p, 0), uint16_t{2200});
    }

    // A port that cannot be opened says which and why; everything after is a quiet no-op,
    // the waits are still kept, and the port opens later with good settings.
    void openFailure_data() {
        QTest::addColumn<QString>("name");  // empty: the pseudo-terminal
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("parity");
        QTest::addColumn<bool>("inUse");
        QTest::addColumn<QString>("reason");
        auto row = [](const char* tag, const char* name, int baud, int parity, bool inUse,
                      const char* reason) {
            QTest::newRow(tag) << QString(name) << baud << parity << inUse
                               << QString::fromUtf8(reason);
        };
        row("unknown parity code", "", 9600, 3, false, "端口参数设置失败");
        row("baud rate 0", "", 0, 0, false, "端口参数设置失败");
        row("already open", "", 9600, 0, true, "端口已被其他程序占用");
        row("missing device", "/dev/ttyMissing-mp", 9600, 0, false, "端口不存在");
        row("not a serial device", "/dev/null", 9600, 0, false, "");
    }
    void openFailure() {
        QFETCH(QString, name);
        QFETCH(int, baud);
        QFETCH(int, parity);
        QFETCH(bool, inUse);
        QFETCH(QString, reason);
        CPtyDeviceRig rig;
        QVERIFY(rig.Ready);
        QVERIFY(!inUse || rig.Connect());
        const std::string path = name.isEmpty() ? rig.Server.DevicePath() : name.toStdString();
        CSerialPort port;
        CReceivingClock clock(port);
        CModbusTransaction link(port, clock);
        QVERIFY(!port.OpenPort({path, baud, parity}));
        QVERIFY(!port.IsPortOpen());
        const QString message = QString::fromStdString(port.LastError());
        QVERIFY2(message.contains(QString::fromStdString(path)), qPrintable(message));
        QVERIFY2(message.contains(reason), qPrintable(message));

        const auto started = SteadyClock::now();
        QCOMPARE(link.ReadSequence(0x03, 0x0106, 3, 50), int16_t{-1});
        QVERIFY(SteadyClock::now() - started >= 50ms);
        QCOMPARE(port.WaitingCount(), int16_t{0});
        QVERIFY(port.ReadAllWaiting().empty());

        rig.Port.ClosePort();
        QVERIFY(port.OpenPort({rig.Server.DevicePath(), 9600, kParityNone}));
        QCOMPARE(link.ReadSequence(0x03, 0x0106, 3, 100), int16_t{0});
    }

    // When the line goes away the port closes itself and says so, once.
    void lostLine() {
        CPtyDeviceRig rig;
        QVERIFY(rig.Ready);
        QVERIFY(rig.Connect());
        std::vector<std::string> lost;
        rig.Port.SetLostHandler([&](const std::string& message) { lost.push_back(message); });
        rig.Unplug();
        rig.Link.ReadSequence(0x03, 0x0106, 3, 20);
        rig.Link.ReadSequence(0x03, 0x0106, 3, 20);
        QVERIFY(!rig.Port.IsPortOpen());
        QCOMPARE(lost.size(), size_t{1});
        QVERIFY2(QString::fromStdString(lost[0]).contains("连接已断开"), lost[0].c_str());
        QCOMPARE(rig.Port.LastError(), lost[0]);
    }
};

}  // namespace mp::test

QTEST_GUILESS_MAIN(mp::test::TestSerialPty)
#include "TestSerialPty.moc"
