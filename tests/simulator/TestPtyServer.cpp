// The simulated device on a pseudo-terminal, reached by the tool's own serial port: requests
// found in the stream, replies paced by the baud rate, silence at a wrong baud rate, and an
// address and baud change that the device follows at once. Real time, kept short.

#include <QtTest>
#include <atomic>
#include <chrono>
#include <thread>

#include "modbus/ModbusTransaction.h"
#include "modbus/RequestBuilder.h"
#include "serial/SerialPort.h"
#include "serial/SerialPortClock.h"
#include "simulator/PtyServer.h"
#include "support/Vectors.h"

namespace mp::test {
namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// The device served on its own thread for as long as the rig lives.
struct Rig {
    explicit Rig(int baudCode = 3, const SimFaults& faults = {}) : Server(Device) {
        Device.SetLiveMotion(false);
        Device.SetBaudCode(baudCode);
        Device.SetRegister(0x0106, 1234);
        Device.SetRegister(0x0107, 0);
        Device.SetRegister(0x0108, 65535);
        Server.SetFaults(faults);
        Ready = Server.Open();
        if (Ready) {
            Thread = std::thread([this] { Server.Run(Stop); });
        }
    }
    ~Rig() {
        Port.ClosePort();
        Stop = true;
        if (Thread.joinable()) {
            Thread.join();
        }
    }
    bool Connect(int baud) { return Port.OpenPort({Server.DevicePath(), baud, kParityNone}); }

    CSimulatedDevice Device;
    CPtyServer Server;
    std::atomic<bool> Stop{false};
    std::thread Thread;
    bool Ready = false;
    CSerialPort Port;
    CSerialPortClock Clock{Port};
    CModbusTransaction Link{Port, Clock};
};

}  // namespace

class TestPtyServer : public QObject {
    Q_OBJECT
private slots:
    void answersOverTheSerialStack() {
        Rig rig;
        QVERIFY2(rig.Ready, rig.Server.LastError().c_str());
        QVERIFY2(rig.Connect(9600), rig.Port.LastError().c_str());
        QCOMPARE(rig.Server.LineBaudRate(), 9600);

        const int16_t p = rig.Link.ReadSequence(0x03, 0x0106, 3, 200);
        QCOMPARE(p, int16_t{0});
        QCOMPARE(std::vector<uint8_t>(rig.Link.Rx().begin(), rig.Link.Rx().begin() + 11),
                 VectorFrame("response", 1, "phase currents 1234, 0, 65535"));

        rig.Device.SetInputs(0xA5);
        const int16_t q = rig.Link.ReadSequence(0x02, 0x0000, 1, 300);
        QCOMPARE(q, int16_t{0});
        QCOMPARE(rig.Link.DataByte(q, 0), uint8_t{0xA5});
    }

    // The last reply byte leaves only after request and reply have crossed the line.
    void repliesPacedByTheBaudRate_data() {
        QTest::addColumn<int>("baudCode");
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("atLeastMs");
        QTest::addColumn<int>("withinMs");
        QTest::newRow("1200 baud: 8 + 11 bytes") << 0 << 1200 << 160 << 600;
        QTest::newRow("19200 baud") << 4 << 19200 << 10 << 150;
    }
    void repliesPacedByTheBaudRate() {
        QFETCH(int, baudCode);
        QFETCH(int, baud);
        QFETCH(int, atLeastMs);
        QFETCH(int, withinMs);
        Rig rig(baudCode);
        QVERIFY(rig.Ready);
        QVERIFY(rig.Connect(baud));
        const auto started = SteadyClock::now();
        rig.Port.WriteBytes(VectorFrame("request", 1, "phase currents"));
        while (rig.Port.WaitingCount() < 11 && SteadyClock::now() - started < 800ms) {
            rig.Port.Receive(5);
        }
        const auto took = SteadyClock::now() - started;
        QCOMPARE(rig.Port.WaitingCount(), int16_t{11});
        QVERIFY(took >= std::chrono::milliseconds(atLeastMs));
        QVERIFY(took < std::chrono::milliseconds(withinMs));
    }

    void silentAtAnotherBaudRate() {
        Rig rig(3);
        QVERIFY(rig.Ready);
        QVERIFY(rig.Connect(19200));
        QCOMPARE(rig.Link.ReadSequence(0x03, 0x0106, 3, 100), int16_t{-1});
        QCOMPARE(rig.Link.ReceivedCount(), int16_t{0});
        QVERIFY(rig.Device.Requests().empty());
    }

    // After the change the device answers at the new address and rate only.
    void followsAnAddressAndBaudChange() {
        Rig rig(3);
        QVERIFY(rig.Ready);
        QVERIFY(rig.Connect(9600));
        const uint8_t data[] = {0x00, 0x0C, 0x00, 0x04};
        rig.Link.WriteSequence(BuildWriteRegisters(rig.Link.Tx(), 1, 0x5450, data, 2), 50);
        QCOMPARE(rig.Device.Address(), uint8_t{12});
        QCOMPARE(rig.Device.BaudRate(), 19200);

        rig.Link.SetSlaveAddress(12);
        QCOMPARE(rig.Link.ReadSequence(0x03, 0x0150, 1, 100), int16_t{-1});
        QVERIFY(rig.Port.Reconfigure({rig.Server.DevicePath(), 19200, kParityNone}));
        QVERIFY(rig.Link.ReadHoldingRegisters(0x0150, 1));
        QCOMPARE(rig.Link.Rx()[4], uint8_t{12});
    }

    // Faults apply on the pseudo-terminal too: stray bytes and a reply in pieces.
    void strayBytesAndPieces() {
        SimFaults faults;
        faults.StrayBytes = {0x00, 0xFF};
        faults.SplitPieces = 3;
        faults.PieceGapMs = 25;
        Rig rig(3, faults);
        QVERIFY(rig.Ready);
        QVERIFY(rig.Connect(9600));
        const int16_t p = rig.Link.ReadSequence(0x03, 0x0106, 3, 200);
        QCOMPARE(p, int16_t{2});
        QCOMPARE(rig.Link.Register(p, 0), uint16_t{1234});
    }
};

}  // namespace mp::test

QTEST_GUILESS_MAIN(mp::test::TestPtyServer)
#include "TestPtyServer.moc"
