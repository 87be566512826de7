// The raw frames go to one logging category in hex, and only when it is enabled.

#include <QLoggingCategory>
#include <QtTest>

#include "modbus/ModbusTransaction.h"
#include "serial/FrameLog.h"
#include "simulator/SimulatedPort.h"
#include "simulator/VirtualClock.h"

namespace mp::test {
namespace {

QStringList Captured;

void Capture(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (QByteArray(context.category) == "motorprotector.frames") {
        Captured << message;
    }
}

}  // namespace

class TestFrameLog : public QObject {
    Q_OBJECT
private slots:
    void frames_data() {
        QTest::addColumn<QString>("rules");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("enabled") << "motorprotector.frames.debug=true"
                                 << QStringList{"TX 01 03 01 1B 00 01 F5 F1",
                                                "RX 01 03 02 00 80 B9 E4"};
        QTest::newRow("off by default") << "" << QStringList{};
    }
    void frames() {
        QFETCH(QString, rules);
        QFETCH(QStringList, lines);
        QLoggingCategory::setFilterRules(rules);
        Captured.clear();
        const QtMessageHandler previous = qInstallMessageHandler(Capture);

        CSimulatedDevice device;
        device.SetRegister(0x011B, 0x0080);
        CVirtualClock clock;
        CSimulatedPort port(device, clock);
        port.OpenPort({"COM1", 9600, kParityNone});
        CModbusTransaction link(port, clock);
        InstallFrameLog(link);
        link.ReadSequence(0x03, 0x011B, 1, 300);

        qInstallMessageHandler(previous);
        QLoggingCategory::setFilterRules({});
        QCOMPARE(Captured, lines);
    }
};

}  // namespace mp::test

QTEST_GUILESS_MAIN(mp::test::TestFrameLog)
#include "TestFrameLog.moc"
