// The real serial port end to end, over a pseudo-terminal: the tool's side through Qt Serial
// Port on this thread, the device played by a second thread on the master side. Real time,
// kept short.

#include <QtTest>
#include <chrono>
#include <thread>

#include "PtyPair.h"
#include "modbus/BitwiseCrc.h"
#include "modbus/ModbusTransaction.h"
#include "serial/SerialPort.h"
#include "serial/SerialPortClock.h"
#include "support/Vectors.h"

namespace mp::test {
namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

const std::vector<uint8_t> kCurrentsRequest = VectorFrame("request", 1, "phase currents");
const std::vector<uint8_t> kCurrentsReply =
    VectorFrame("response", 1, "phase currents 1234, 0, 65535");
const std::vector<uint8_t> kVoltagesRequest = VectorFrame("request", 1, "phase voltages");
const std::vector<uint8_t> kVoltagesReply =
    VectorFrame("response", 1, "phase voltages 2200, 3805, 65535");

std::vector<uint8_t> Part(const std::vector<uint8_t>& all, size_t from, size_t to) {
    return std::vector<uint8_t>(all.begin() + static_cast<std::ptrdiff_t>(from),
                                all.begin() + static_cast<std::ptrdiff_t>(to));
}

speed_t SpeedOf(int baud) {
    switch (baud) {
        case 1200:
            return B1200;
        case 19200:
            return B19200;
        default:
            return B9600;
    }
}

struct Tool {
    explicit Tool(const std::string& path, int baud = 9600, int parity = kParityNone) {
        Opened = Port.OpenPort({path, baud, parity});
    }
    CSerialPort Port;
    CSerialPortClock Clock{Port};
    CModbusTransaction Link{Port, Clock};
    bool Opened = false;
};

}  // namespace

class TestSerialPty : public QObject {
    Q_OBJECT
private slots:
    // The baud rate as chosen; 8 data bits, 1 stop bit, no flow control always. (A
    // pseudo-terminal keeps no parity, so parity is seen only on real ports.)
    void openConfiguresTheLine_data() {
        QTest::addColumn<int>("baud");
        QTest::newRow("9600,N,8,1") << 9600;
        QTest::newRow("19200,N,8,1") << 19200;
        QTest::newRow("1200,N,8,1") << 1200;
    }
    void openConfiguresTheLine() {
        QFETCH(int, baud);
        CPtyPair pty;
        QVERIFY(pty.Ready());
        Tool tool(pty.Path, baud, kParityNone);
        QVERIFY2(tool.Opened, tool.Port.LastError().c_str());
        QVERIFY(tool.Port.IsPortOpen());
        const termios line = pty.Line();
        QCOMPARE(cfgetospeed(&line), SpeedOf(baud));
        QCOMPARE(line.c_cflag & CSIZE, tcflag_t{CS8});
        QCOMPARE(line.c_cflag & CSTOPB, tcflag_t{0});
        QCOMPARE(line.c_cflag & PARENB, tcflag_t{0});
        QCOMPARE(line.c_cflag & CRTSCTS, tcflag_t{0});
        QCOMPARE(tool.Port.Settings().BaudRate, baud);
    }

    // Settings the port cannot take leave it closed with the reason.
    void refusedSettings_data() {
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("parity");
        QTest::newRow("unknown parity code") << 9600 << 3;
        QTest::newRow("baud rate 0") << 0 << 0;
    }
    void refusedSettings() {
        QFETCH(int, baud);
        QFETCH(int, parity);
        CPtyPair pty;
        QVERIFY(pty.Ready());
        Tool tool(pty.Path, baud, parity);
        QVERIFY(!tool.Opened);
        QVERIFY(!tool.Port.IsPortOpen());
        const QString message = QString::fromStdString(tool.Port.LastError());
        QVERIFY2(message.contains(QString::fromStdString(pty.Path)), qPrintable(message));
        QVERIFY2(message.contains("端口参数设置失败"), qPrintable(message));
        // The port is free again for a good attempt.
        QVERIFY(tool.Port.OpenPort({pty.Path, 9600, kParityNone}));
    }

    // A reply that arrives in pieces while the exchange waits is taken in and located.
    void replyInPiecesDuringTheWait() {
        CPtyPair pty;
        QVERIFY(pty.Ready());
        Tool tool(pty.Path);
        QVERIFY(tool.Opened);
        std::vector<uint8_t> heard;
        std::thread device([&] {
            heard = pty.Read(8, 1000);
            std::this_thread::sleep_for(20ms);
            pty.Write(Concat({{0xFF}, Part(kCurrentsReply, 0, 4)}));
            std::this_thread::sleep_for(30ms);
            pty.Write(Part(kCurrentsReply, 4, 8));
            std::this_thread::sleep_for(30ms);
            pty.Write(Part(kCurrentsReply, 8, 11));
        });
        const auto started = SteadyClock::now();
        const int16_t p = tool.Link.ReadSequence(0x03, 0x0106, 3, 200);
        const auto took = SteadyClock::now() - started;
        device.join();

        QCOMPARE(heard, kCurrentsRequest);
        QCOMPARE(p, int16_t{1});
        QCOMPARE(tool.Link.ReceivedCount(), int16_t{12});
        QCOMPARE(tool.Link.Register(p, 0), uint16_t{1234});
        QCOMPARE(tool.Link.Register(p, 2), uint16_t{65535});
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
        CPtyPair pty;
        QVERIFY(pty.Ready());
        Tool tool(pty.Path);
        QVERIFY(tool.Opened);
        std::vector<uint8_t> second;
        std::thread device([&] {
            pty.Read(8, 1000);
            std::this_thread::sleep_for(150ms);
            pty.Write(kCurrentsReply);
            second = pty.Read(8, 1000);
            pty.Write(kVoltagesReply);
        });
        QCOMPARE(tool.Link.ReadSequence(0x03, 0x0106, 3, 50), int16_t{-1});
        QCOMPARE(tool.Link.ReceivedCount(), int16_t{0});
        if (receiving) {
            tool.Clock.Sleep(250);
        } else {
            std::this_thread::sleep_for(250ms);
        }
        const int16_t p = tool.Link.ReadSequence(0x03, 0x0103, 3, 100);
        device.join();

        QCOMPARE(second, kVoltagesRequest);
        QCOMPARE(p, int16_t{0});
        QCOMPARE(tool.Link.ReceivedCount(), int16_t{11});
        QCOMPARE(tool.Link.Register(p, 0), uint16_t{2200});
    }

    // A protocol wait is a minimum: bytes arriving in the middle do not end it early.
    void waitLastsItsTime_data() {
        QTest::addColumn<bool>("bytesArrive");
        QTest::addColumn<bool>("open");
        QTest::newRow("bytes arrive during the wait") << true << true;
        QTest::newRow("quiet line") << false << true;
        QTest::newRow("closed port") << false << false;
    }
    void waitLastsItsTime() {
        QFETCH(bool, bytesArrive);
        QFETCH(bool, open);
        CPtyPair pty;
        QVERIFY(pty.Ready());
        Tool tool(pty.Path);
        if (!open) {
            tool.Port.ClosePort();
        }
        std::thread device([&] {
            if (bytesArrive) {
                std::this_thread::sleep_for(10ms);
                pty.Write({0x01, 0x02});
                std::this_thread::sleep_for(10ms);
                pty.Write({0x03});
            }
        });
        const auto started = SteadyClock::now();
        tool.Clock.Sleep(60);
        const auto took = SteadyClock::now() - started;
        device.join();
        QVERIFY(took >= 60ms);
        QVERIFY(took < 500ms);
        QCOMPARE(tool.Port.WaitingCount(), static_cast<int16_t>(bytesArrive ? 3 : 0));
    }

    // A change of line settings lets the queued bytes out first.
    void reconfigureAfterQueuedBytesLeave() {
        CPtyPair pty;
        QVERIFY(pty.Ready());
        Tool tool(pty.Path);
        QVERIFY(tool.Opened);
        tool.Port.WriteBytes(kCurrentsRequest);
        QVERIFY(tool.Port.Reconfigure({pty.Path, 19200, kParityNone}));
        QCOMPARE(pty.Read(8, 500), kCurrentsRequest);
        const termios line = pty.Line();
        QCOMPARE(cfgetospeed(&line), speed_t{B19200});
        QCOMPARE(tool.Port.Settings().BaudRate, 19200);
        QVERIFY(!tool.Port.Reconfigure({pty.Path, 19200, 7}));
    }

    // A port that cannot be opened says which and why, and everything after is a quiet no-op.
    void openFailureLeavesThePortClosed_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing device") << "/dev/ttyMissing-mp"
                                        << "端口不存在";
        QTest::newRow("not a serial device") << "/dev/null"
                                             << "";
    }
    void openFailureLeavesThePortClosed() {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        Tool tool(name.toStdString());
        QVERIFY(!tool.Opened);
        QVERIFY(!tool.Port.IsPortOpen());
        const QString message = QString::fromStdString(tool.Port.LastError());
        QVERIFY2(message.contains(name), qPrintable(message));
        QVERIFY2(message.contains(reason), qPrintable(message));
        QCOMPARE(tool.Link.ReadSequence(0x03, 0x0106, 3, 20), int16_t{-1});
        QVERIFY(!tool.Link.ReadHoldingRegisters(0x0150, 1));
        tool.Link.WriteSequence(8, 0);
        QCOMPARE(tool.Port.WaitingCount(), int16_t{0});
        QVERIFY(tool.Port.ReadAllWaiting().empty());
    }

    // The same port cannot be opened twice.
    void portInUse() {
        CPtyPair pty;
        QVERIFY(pty.Ready());
        Tool first(pty.Path);
        QVERIFY(first.Opened);
        Tool second(pty.Path);
        QVERIFY(!second.Opened);
        QVERIFY2(QString::fromStdString(second.Port.LastError()).contains("端口被占用或无权限"),
                 second.Port.LastError().c_str());
    }

    // When the line goes away the port closes itself and says so, once.
    void lostLine() {
        auto pty = std::make_unique<CPtyPair>();
        QVERIFY(pty->Ready());
        Tool tool(pty->Path);
        QVERIFY(tool.Opened);
        std::vector<std::string> lost;
        tool.Port.SetLostHandler([&](const std::string& message) { lost.push_back(message); });
        pty.reset();
        tool.Link.ReadSequence(0x03, 0x0106, 3, 20);
        tool.Link.ReadSequence(0x03, 0x0106, 3, 20);
        QVERIFY(!tool.Port.IsPortOpen());
        QCOMPARE(lost.size(), size_t{1});
        QVERIFY2(QString::fromStdString(lost[0]).contains("连接已断开"), lost[0].c_str());
        QCOMPARE(tool.Port.LastError(), lost[0]);
    }
};

}  // namespace mp::test

QTEST_GUILESS_MAIN(mp::test::TestSerialPty)
#include "TestSerialPty.moc"
