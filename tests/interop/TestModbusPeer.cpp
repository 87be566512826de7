// The tool polling a Modbus RTU device of another making: the libmodbus peer (modbus-peer) on
// a pseudo-terminal, answering every request D ms after it takes it up, one at a time, so that
// requests sent meanwhile queue. Through the real serial port, the I/O worker and the poll
// tick, in real time: every field and every monitor row holds what the peer holds for that
// read, or nothing; a read that answered shows exactly the peer's values.

#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>
#include <algorithm>

#include "diagnostics/ExchangeLog.h"
#include "diagnostics/ExchangeRecorder.h"
#include "interop/PeerRegisters.h"
#include "line/IoWorker.h"
#include "monitoring/LiveDecoders.h"
#include "monitoring/PollingCycle.h"
#include "serial/SerialPort.h"
#include "serial/SerialPortClock.h"
#include "support/ImmediateWindow.h"
#include "support/WrongMonitorRows.h"
#include "support/WrongValues.h"

namespace mp::test {
namespace {

// The peer's values in a simulated device, to tell right values from wrong ones and to say
// what the peer answers to a request. A standard device answers a read of one coil or one
// input with that bit alone.
void HoldPeerValues(CSimulatedDevice& device) {
    device.SetLiveMotion(false);
    for (const MpPeerRegister& r : kMpPeerRegisters) {
        device.SetRegister(r.Address, r.Value);
    }
    device.SetCoils(MP_PEER_COILS & 1);
    device.SetInputs(MP_PEER_INPUTS & 1);
}

}  // namespace

class TestModbusPeer : public QObject {
    Q_OBJECT
private slots:
    void pollsAPeerThatQueues_data() {
        QTest::addColumn<int>("delay");
        QTest::addColumn<int>("ticks");
        QTest::newRow("D = 0 ms") << 0 << 4;
        QTest::newRow("D = 250 ms") << 250 << 3;
        QTest::newRow("D = 700 ms") << 700 << 3;
        QTest::newRow("D = 1100 ms") << 1100 << 2;
        QTest::newRow("D = 1800 ms") << 1800 << 2;
    }
    void pollsAPeerThatQueues() {
        QFETCH(int, delay);
        QFETCH(int, ticks);
        QProcess peer;
        peer.start(QStringLiteral(MP_MODBUS_PEER), {QString::number(delay)});
        QVERIFY2(peer.waitForStarted(5000), qPrintable(peer.errorString()));
        QVERIFY2(peer.waitForReadyRead(5000), peer.readAllStandardError().constData());
        const QString path = QString::fromLocal8Bit(peer.readLine()).trimmed();

        CSimulatedDevice reference;
        HoldPeerValues(reference);
        CSerialPort port;
        CSerialPortClock clock(port);
        CModbusTransaction link(port, clock);
        CExchangeLog log;
        CExchangeRecorder recorder(log);
        link.SetObserver(&recorder);
        CImmediateWindow window;
        CIoWorker worker(link, window);
        QVERIFY2(port.OpenPort({path.toStdString(), 9600, kParityNone}), port.LastError().c_str());

        ProtectionSettings settings;
        settings.CtRatio = "1";
        LiveValues live;
        const CWrongValues wrong(reference, live, settings);
        LiveValues right;
        DecodePhaseCurrents(
            right, settings.CtRatio,
            {reference.Register(0x0106), reference.Register(0x0107), reference.Register(0x0108)});
        DecodePhaseVoltages(right, {reference.Register(0x0103), reference.Register(0x0104),
                                    reference.Register(0x0105)});
        DecodeDigitalInputs(right, reference.Inputs());
        DecodeOutputStates(right, reference.Coils());

        QStringList faults;
        int ticksRun = 0;
        int answered = 0;
        QStringList lengths;
        worker.SetTick([&](CDeviceContext& ctx) {
            QElapsedTimer took;
            took.start();
            const PollTickResult result = RunPollTick(ctx, &settings, &live);
            lengths << QString::number(took.elapsed());
            ++ticksRun;
            answered +=
                result.Currents + result.Outputs + result.Inputs + result.Voltages + result.Status;
            const QStringList fields = wrong.Of(live, settings);
            if (!fields.isEmpty()) {
                faults << QStringLiteral("tick %1: %2").arg(ticksRun).arg(fields.join(", "));
            }
            auto same = [&](bool read, bool equal, const char* name) {
                if (read && !equal) {
                    faults << QStringLiteral("tick %1: %2 answered but not the peer's")
                                  .arg(ticksRun)
                                  .arg(QString::fromLatin1(name));
                }
            };
            same(result.Currents, live.Currents == right.Currents, "currents");
            same(result.Voltages, live.Voltages == right.Voltages, "voltages");
            same(result.Inputs, live.Inputs == right.Inputs, "inputs");
            same(result.Outputs, live.Outputs == right.Outputs, "outputs");
            same(result.Status, live.StatusLamps == std::optional<uint8_t>(0x96), "status");
        });
        worker.StartPollTimer();
        QElapsedTimer budget;
        budget.start();
        while (ticksRun < ticks && budget.elapsed() < 30000) {
            if (!worker.RunOnce()) {
                clock.Sleep(10);
            }
        }
        worker.StopPollTimer();
        link.SetObserver(nullptr);
        port.ClosePort();
        peer.terminate();
        peer.waitForFinished(5000);

        faults << WrongMonitorRows(log, reference);
        qInfo("libmodbus peer, D = %d ms: %d ticks of %s ms, %d of %d reads answered", delay,
              ticksRun, qPrintable(lengths.join(QStringLiteral(", "))), answered, 5 * ticksRun);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.mid(0, 6).join(QStringLiteral("; "))));
        QCOMPARE(ticksRun, ticks);
        if (delay < 200) {
            QCOMPARE(answered, 5 * ticks);  // every read answers in its wait
        }
    }
};

}  // namespace mp::test

QTEST_GUILESS_MAIN(mp::test::TestModbusPeer)
#include "TestModbusPeer.moc"
