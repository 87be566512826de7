// The simulated device on a pseudo-terminal, reached by the tool's own serial port: requests
// found in the stream and answered at the pace of the baud rate, and an address and baud
// change that the device follows at once. Real time, kept short.

#include <QProcess>
#include <QtTest>
#include <chrono>
#include <memory>

#include "diagnostics/BusScan.h"
#include "modbus/ReceivingClock.h"
#include "modbus/RequestBuilder.h"
#include "monitoring/LiveReads.h"
#include "network/TcpPort.h"
#include "support/ImmediateWindow.h"
#include "support/PtyDeviceRig.h"
#include "support/Vectors.h"

namespace mp::test {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

class TestPtyServer : public QObject {
    Q_OBJECT
private slots:
    // The last reply byte leaves only after request and reply have crossed the line.
    void repliesPacedByTheBaudRate_data() {
        QTest::addColumn<int>("baudCode");
        QTest::addColumn<int>("baud");
        QTest::addColumn<int>("atLeastMs");
        QTest::addColumn<int>("withinMs");
        QTest::newRow("1200 baud: 8 + 11 bytes") << 0 << 1200 << 160 << 600;
        QTest::newRow("9600 baud") << 3 << 9600 << 20 << 150;
        QTest::newRow("19200 baud") << 4 << 19200 << 10 << 150;
    }
    void repliesPacedByTheBaudRate() {
        QFETCH(int, baudCode);
        QFETCH(int, baud);
        QFETCH(int, atLeastMs);
        QFETCH(int, withinMs);
        CPtyDeviceRig rig({}, baudCode);
        QVERIFY2(rig.Ready, rig.Server.LastError().c_str());
        QVERIFY2(rig.Connect(baud), rig.Port.LastError().c_str());
        QCOMPARE(rig.Server.LineBaudRate(), baud);
        const auto started = SteadyClock::now();
        rig.Port.WriteBytes(VectorFrame("request", 1, "phase currents"));
        while (rig.Port.WaitingCount() < 11 && SteadyClock::now() - started < 800ms) {
            rig.Port.Receive(5);
        }
        const auto took = SteadyClock::now() - started;
        QCOMPARE(rig.Port.ReadAllWaiting(),
                 VectorFrame("response", 1, "phase currents 1234, 0, 65535"));
        QVERIFY(took >= std::chrono::milliseconds(atLeastMs));
        QVERIFY(took < std::chrono::milliseconds(withinMs));
    }

    // A queuing device takes the second request up only once the first reply has left, so
    // two requests sent together are answered some 150 ms and some 300 ms later.
    void queuingDeviceAnswersOneAfterAnother() {
        SimFaults faults;
        faults.QueueDelayMs = 150;
        CPtyDeviceRig rig(faults);
        QVERIFY2(rig.Ready, rig.Server.LastError().c_str());
        QVERIFY2(rig.Connect(), rig.Port.LastError().c_str());
        const auto started = SteadyClock::now();
        rig.Port.WriteBytes(VectorFrame("request", 1, "phase currents"));
        rig.Port.WriteBytes(VectorFrame("request", 1, "phase currents"));
        std::vector<std::chrono::milliseconds> complete;
        for (size_t seen = 0; complete.size() < 2 && SteadyClock::now() - started < 1500ms;) {
            rig.Port.Receive(5);
            const size_t waiting = static_cast<size_t>(rig.Port.WaitingCount());
            if (waiting >= 11 * (complete.size() + 1) && waiting != seen) {
                seen = waiting;
                complete.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(
                    SteadyClock::now() - started));
            }
        }
        const std::vector<uint8_t> reply =
            VectorFrame("response", 1, "phase currents 1234, 0, 65535");
        std::vector<uint8_t> both = reply;
        both.insert(both.end(), reply.begin(), reply.end());
        QCOMPARE(rig.Port.ReadAllWaiting(), both);
        QCOMPARE(complete.size(), size_t{2});
        QVERIFY2(complete[0] >= 150ms && complete[0] < 300ms,
                 qPrintable(QString::number(complete[0].count())));
        QVERIFY2(complete[1] >= 300ms && complete[1] < 600ms,
                 qPrintable(QString::number(complete[1].count())));
    }

    // After the change the device answers at the new address and rate only.
    void followsAnAddressAndBaudChange() {
        CPtyDeviceRig rig;
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

    // Several devices on one line, found by the bus scan through the real serial stack.
    void scanFindsEveryDeviceOnTheLine() {
        CSimulatedDevice five;
        five.SetAddress(5);
        five.SetBaudCode(3);
        CSimulatedDevice twelve;
        twelve.SetAddress(12);
        twelve.SetBaudCode(4);
        CPtyDeviceRig rig({}, 3, {&five, &twelve});
        QVERIFY(rig.Ready);
        QVERIFY(rig.Connect(9600));
        ScanPlan plan;
        plan.FirstAddress = 1;
        plan.LastAddress = 13;
        plan.BaudRates = {9600, 19200};
        plan.Line = {rig.Server.DevicePath(), 9600, kParityNone};
        std::vector<FoundDevice> found;
        std::atomic<bool> stop{false};
        QCOMPARE(CBusScan::Run(
                     rig.Link, plan, stop, [&](const FoundDevice& d) { found.push_back(d); },
                     [](int, int) {}),
                 ScanEnd::Completed);
        QCOMPARE(found.size(), size_t{3});
        QCOMPARE(found[0].Address, 1);
        QCOMPARE(found[1].Address, 5);
        QCOMPARE(found[1].BaudRate, 9600);
        QCOMPARE(found[2].Address, 12);
        QCOMPARE(found[2].BaudRate, 19200);
        QCOMPARE(found[2].StoredBaudCode, 4);
    }

    // The simulator program serving a plant: a range of devices on a pseudo-terminal or behind
    // its TCP gateway, faults of single devices, each device with live values of its own
    // (currents 302 + 20 x address, +-3), read with the tool's own ports and live reads.
    void programServesAPlant_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("transport");  // pty, rtu or mbap
        QTest::addColumn<QList<int>>("addresses");
        QTest::addColumn<QList<bool>>("answered");
        QTest::newRow("pty, --devices 1..30")
            << QStringList{"--devices", "1..30"} << "pty" << QList<int>{1, 17, 30, 31}
            << QList<bool>{true, true, true, false};
        QTest::newRow("RTU over TCP, a silent device")
            << QStringList{"--tcp", "0", "--devices", "1..4,9", "--fault", "2:silent"} << "rtu"
            << QList<int>{1, 2, 3, 9} << QList<bool>{true, false, true, true};
        // The gateway drops the reply with the bad CRC; the late one comes after its read's
        // wait (it is read last: requests sent meanwhile would wait behind it at the gateway).
        QTest::newRow("Modbus TCP, a bad CRC and a late device")
            << QStringList{"--tcp",     "0",
                           "--framing", "mbap",
                           "--devices", "5..8",
                           "--fault",   "6:reply-delay-ms=400",
                           "--fault",   "8:corrupt-crc"}
            << "mbap" << QList<int>{5, 7, 8, 6} << QList<bool>{true, true, false, false};
        QTest::newRow("Modbus TCP at 19200, ranges and a list")
            << QStringList{"--tcp",  "0",     "--framing", "mbap",
                           "--baud", "19200", "--devices", "3,10..12,200"}
            << "mbap" << QList<int>{3, 11, 200, 4} << QList<bool>{true, true, true, false};
    }
    void programServesAPlant() {
        QFETCH(QStringList, args);
        QFETCH(QString, transport);
        QFETCH(QList<int>, addresses);
        QFETCH(QList<bool>, answered);
        QProcess sim;
        sim.start(QStringLiteral(MP_SIMULATOR), args);
        QVERIFY2(sim.waitForStarted(5000), qPrintable(sim.errorString()));
        QVERIFY2(sim.waitForReadyRead(5000), sim.readAllStandardError().constData());
        const QString where = QString::fromLocal8Bit(sim.readLine()).trimmed();
        const int baud = args.contains("19200") ? 19200 : 9600;

        std::unique_ptr<IPort> port;
        std::unique_ptr<IClock> clock;
        if (transport == "pty") {
            auto serial = std::make_unique<CSerialPort>();
            clock = std::make_unique<CReceivingClock>(*serial);
            port = std::move(serial);
        } else {
            LineEndpoint endpoint;
            endpoint.Type = LineEndpoint::Kind::Tcp;
            endpoint.Host = where.section(':', 0, 0).toStdString();
            endpoint.TcpPort = static_cast<uint16_t>(where.section(':', 1).toUInt());
            endpoint.TcpFraming =
                transport == "mbap" ? LineEndpoint::Framing::Mbap : LineEndpoint::Framing::Rtu;
            auto tcp = std::make_unique<CTcpPort>(endpoint);
            clock = std::make_unique<CReceivingClock>(*tcp);
            port = std::move(tcp);
        }
        CModbusTransaction link(*port, *clock);
        CImmediateWindow window;
        CDeviceContext ctx(link, window, window);
        QVERIFY2(link.OpenLine({where.toStdString(), baud, kParityNone}),
                 port->LastError().c_str());
        for (int k = 0; k < addresses.size(); ++k) {
            link.SetSlaveAddress(static_cast<uint8_t>(addresses[k]));
            const std::optional<PhaseCurrentReading> currents = FetchPhaseCurrents(ctx);
            QVERIFY2(currents.has_value() == answered[k],
                     qPrintable(QStringLiteral("address %1").arg(addresses[k])));
            if (currents) {
                const int own = 302 + 20 * addresses[k];
                QVERIFY2(std::abs(currents->Counts[0] - own) <= 3,
                         qPrintable(QStringLiteral("address %1: %2 is another device's")
                                        .arg(addresses[k])
                                        .arg(currents->Counts[0])));
            }
        }
        link.Port().ClosePort();
        sim.terminate();
        QVERIFY(sim.waitForFinished(5000));
    }
};

}  // namespace mp::test

QTEST_GUILESS_MAIN(mp::test::TestPtyServer)
#include "TestPtyServer.moc"
