// Port names as shown and as opened, and the operator's words for port failures.

#include <QtTest>

#include "serial/PortNames.h"

namespace mp::test {

class TestPortNames : public QObject {
    Q_OBJECT
private slots:
    void systemName_data() {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("system");
        auto row = [](const char* shown, const char* system) {
            QTest::addRow("'%s'", shown) << QString(shown) << QString(system);
        };
#ifdef Q_OS_WIN
        row("COM1", "COM1");
        row("COM32", "COM32");
#else
        row("COM1", "/dev/ttyS0");
        row("COM32", "/dev/ttyS31");
        row("com4", "/dev/ttyS3");
#endif
        row("COM0", "COM0");
        row("COM33", "COM33");
        row("COM03", "COM03");
        row("COM", "COM");
        row("COM3x", "COM3x");
        row("/dev/ttyUSB0", "/dev/ttyUSB0");
        row("", "");
    }
    void systemName() {
        QFETCH(QString, shown);
        QFETCH(QString, system);
        QCOMPARE(QString::fromStdString(SystemPortName(shown.toStdString())), system);
    }

    void reasons_data() {
        QTest::addColumn<QSerialPort::SerialPortError>("error");
        QTest::addColumn<QString>("reason");
        QTest::newRow("none") << QSerialPort::NoError << "";
        QTest::newRow("not found") << QSerialPort::DeviceNotFoundError << "端口不存在";
        QTest::newRow("permission") << QSerialPort::PermissionError << "端口被占用或无权限";
        QTest::newRow("already open") << QSerialPort::OpenError << "端口被占用或无权限";
        QTest::newRow("settings") << QSerialPort::UnsupportedOperationError << "端口参数设置失败";
        QTest::newRow("unplugged") << QSerialPort::ResourceError << "连接已断开";
        QTest::newRow("read") << QSerialPort::ReadError << "读写失败";
        QTest::newRow("write") << QSerialPort::WriteError << "读写失败";
        QTest::newRow("not open") << QSerialPort::NotOpenError << "端口未打开";
        QTest::newRow("unknown") << QSerialPort::UnknownError << "其他错误";
        QTest::newRow("timeout") << QSerialPort::TimeoutError << "其他错误";
    }
    void reasons() {
        QFETCH(QSerialPort::SerialPortError, error);
        QFETCH(QString, reason);
        QCOMPARE(QString::fromStdString(PortErrorReason(error)), reason);
    }

    // The messages name the port as shown, its system name where that differs, the reason
    // and the system's own words.
    void messages_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("parts");
        const bool mapped = SystemPortName("COM3") != "COM3";
        QTest::newRow("open failure")
            << QString::fromStdString(
                   PortOpenFailureMessage("COM3", QSerialPort::DeviceNotFoundError, "No such file"))
            << QStringList{"COM3", mapped ? "/dev/ttyS2" : "COM3", "打开失败", "端口不存在",
                           "No such file"};
        QTest::newRow("open failure without an error code")
            << QString::fromStdString(PortOpenFailureMessage("/dev/ttyUSB0", QSerialPort::NoError))
            << QStringList{"/dev/ttyUSB0", "打开失败", "其他错误"};
        QTest::newRow("lost line") << QString::fromStdString(PortFailureMessage(
                                          "/dev/ttyUSB1", QSerialPort::ResourceError))
                                   << QStringList{"/dev/ttyUSB1", "连接已断开"};
    }
    void messages() {
        QFETCH(QString, message);
        QFETCH(QStringList, parts);
        for (const QString& part : parts) {
            QVERIFY2(message.contains(part), qPrintable(message + " / " + part));
        }
        QVERIFY(!message.contains("()"));
    }
};

}  // namespace mp::test

QTEST_GUILESS_MAIN(mp::test::TestPortNames)
#include "TestPortNames.moc"
