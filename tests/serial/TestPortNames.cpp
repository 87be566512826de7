// Port names as shown and as opened, and the operator's words for port failures.

#include <QtTest>

#include "serial/PortNames.h"
#include "support/TestTranslator.h"

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

    // A refused open says whether the port is held by another program or the account may not
    // use it, and how to fix it: never both, never the vague "or".
    void refusal_data() {
        QTest::addColumn<bool>("readWrite");
        QTest::addColumn<QString>("group");
        QTest::addColumn<bool>("accountInGroup");
        QTest::addColumn<bool>("loginInGroup");
        QTest::addColumn<QStringList>("parts");
        QTest::addColumn<QStringList>("absent");
        const QStringList noPermission{"没有权限"};
        const QStringList inUse{"其他程序占用"};
        QTest::newRow("held by another program")
            << true << "dialout" << true << true << inUse << noPermission;
        QTest::newRow("held, group unknown")
            << true << "" << false << false << inUse << noPermission;
        QTest::newRow("not in the group")
            << false << "dialout" << false << false
            << QStringList{"没有权限", "dialout", "usermod -aG dialout bob", "重新登录"} << inUse;
        QTest::newRow("other group name")
            << false << "uucp" << false << false
            << QStringList{"没有权限", "uucp", "usermod -aG uucp bob", "重新登录"} << inUse;
        QTest::newRow("joined, this login not yet")
            << false << "dialout" << true << false
            << QStringList{"没有权限", "dialout", "已加入", "重新登录"}
            << QStringList{"usermod", "占用"};
        QTest::newRow("in the group, group may not write")
            << false << "dialout" << true << true << QStringList{"没有权限", "dialout", "权限"}
            << QStringList{"usermod", "登录", "占用"};
        QTest::newRow("owned by root") << false << "root" << false << false
                                       << QStringList{"没有权限"} << QStringList{"usermod", "占用"};
    }
    void refusal() {
        QFETCH(bool, readWrite);
        QFETCH(QString, group);
        QFETCH(bool, accountInGroup);
        QFETCH(bool, loginInGroup);
        QFETCH(QStringList, parts);
        QFETCH(QStringList, absent);
        DeviceAccess access;
        access.ReadWrite = readWrite;
        access.Group = group.toStdString();
        access.User = "bob";
        access.AccountInGroup = accountInGroup;
        access.LoginInGroup = loginInGroup;
        const QString message =
            QString::fromStdString(PortRefusalMessage("/dev/ttyUSB0", access, "Permission denied"));
        for (const QString& part : parts + QStringList{"/dev/ttyUSB0", "打开失败"}) {
            QVERIFY2(message.contains(part), qPrintable(message + " / " + part));
        }
        for (const QString& part : absent + QStringList{"或无权限"}) {
            QVERIFY2(!message.contains(part), qPrintable(message + " / " + part));
        }
    }

    // In English each message is one English sentence with the port, the reason and the
    // account's facts in their places.
    void messagesInEnglish() {
        const auto mt = [](const char* source) {
            return qMakePair(QStringLiteral("MotorProtector"), QString::fromUtf8(source));
        };
        const CTestTranslator english({
            {mt("串口 %1 打开失败：%2"), "Serial port %1 could not be opened: %2"},
            {mt("串口 %1 出错：%2"), "Serial port %1 failed: %2"},
            {mt("%1（%2）"), "%1 (%2)"},
            {mt("端口不存在"), "the port does not exist"},
            {mt("连接已断开"), "the connection was lost"},
            {mt("用户 %1"), "user %1"},
            {mt("没有权限读写此设备：设备属于用户组 %1，%2 不在此组。请执行 sudo usermod -aG %1 "
                "%3，然后注销并重新登录（新的组在新的登录中才生效）"),
             "No permission: group %1, %2 is not in it. Run sudo usermod -aG %1 %3, then log in "
             "again"},
        });
        const QString com3 = SystemPortName("COM3") != "COM3" ? "COM3 (/dev/ttyS2)" : "COM3";
        QCOMPARE(QString::fromStdString(
                     PortOpenFailureMessage("COM3", QSerialPort::DeviceNotFoundError, "gone")),
                 "Serial port " + com3 + " could not be opened: the port does not exist (gone)");
        QCOMPARE(
            QString::fromStdString(PortFailureMessage("/dev/ttyUSB1", QSerialPort::ResourceError)),
            QString("Serial port /dev/ttyUSB1 failed: the connection was lost"));
        DeviceAccess access;
        access.Group = "dialout";
        access.User = "bob";
        QCOMPARE(QString::fromStdString(PortRefusalMessage("/dev/ttyUSB0", access)),
                 QString("Serial port /dev/ttyUSB0 could not be opened: No permission: group "
                         "dialout, user bob is not in it. Run sudo usermod -aG dialout bob, then "
                         "log in again"));
    }

#ifdef Q_OS_UNIX
    // The facts come from the device file itself: its group, and whether this program may
    // read and write it.
    void probe() {
        const DeviceAccess null = ProbeDeviceAccess("/dev/null");
        QVERIFY(null.ReadWrite);
        QCOMPARE(QString::fromStdString(null.Group), QStringLiteral("root"));
        QVERIFY(!ProbeDeviceAccess("/dev/ttyMissing-mp").ReadWrite);
    }
#endif

    void choiceText_data() {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("text");
        QTest::newRow("described") << "/dev/ttyUSB0"
                                   << "ttyUSB0"
                                   << "USB-RS485 adapter"
                                   << "ttyUSB0 — USB-RS485 adapter";
        QTest::newRow("no description") << "/dev/ttyS0"
                                        << "ttyS0"
                                        << ""
                                        << "ttyS0";
        QTest::newRow("no short name") << "/dev/ttyACM0"
                                       << ""
                                       << ""
                                       << "/dev/ttyACM0";
    }
    void choiceText() {
        QFETCH(QString, location);
        QFETCH(QString, name);
        QFETCH(QString, description);
        QFETCH(QString, text);
        const SystemPortInfo port{location.toStdString(), name.toStdString(),
                                  description.toStdString()};
        QCOMPARE(QString::fromStdString(PortChoiceText(port)), text);
    }
};

}  // namespace mp::test

QTEST_GUILESS_MAIN(mp::test::TestPortNames)
#include "TestPortNames.moc"
