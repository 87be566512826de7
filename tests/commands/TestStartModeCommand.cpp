// The start-mode request: its two data bytes for typed times and selections, and the write
// to the simulated device.

#include <QtTest>

#include "support/DeviceRig.h"
#include "commands/StartModeCommand.h"

using namespace mp;
using mp::test::CDeviceRig;
using mp::test::WriteFrame;

using Bytes = std::vector<uint8_t>;
Q_DECLARE_METATYPE(Bytes)

class TestStartModeCommand : public QObject {
    Q_OBJECT

private slots:
    void Frame_data();
    void Frame();
    void WritesTheDevice();
};

void TestStartModeCommand::Frame_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<QString>("phaseLossTime");
    QTest::addColumn<int>("mode");
    QTest::addColumn<Bytes>("expected");

    QTest::newRow("direct start, 0.5 s")
        << 1 << "0.5" << 0
        << Bytes{0x01, 0x10, 0x54, 0x55, 0x00, 0x01, 0x02, 0x05, 0x00, 0xBC, 0xC0};
    QTest::newRow("star-delta") << 1 << "0.5" << 2 << WriteFrame(1, 0x5455, {0x05, 0x02});
    QTest::newRow("reversing, address 247")
        << 247 << "1.0" << 1 << WriteFrame(247, 0x5455, {0x0A, 0x01});
    QTest::newRow("25.5 s is the largest byte")
        << 1 << "25.5" << 0 << WriteFrame(1, 0x5455, {0xFF, 0x00});
    QTest::newRow("25.6 s sends the low byte of 256")
        << 1 << "25.6" << 0 << WriteFrame(1, 0x5455, {0x00, 0x00});
    QTest::newRow("empty time") << 1 << "" << 1 << WriteFrame(1, 0x5455, {0x00, 0x01});
    QTest::newRow("non-numeric time") << 1 << "abc" << 1 << WriteFrame(1, 0x5455, {0x00, 0x01});
    QTest::newRow("leading number of the text")
        << 1 << " 1.27s" << 2 << WriteFrame(1, 0x5455, {0x0C, 0x02});
    QTest::newRow("nothing selected sends 0xFF")
        << 1 << "0.5" << -1 << WriteFrame(1, 0x5455, {0x05, 0xFF});
}

void TestStartModeCommand::Frame() {
    QFETCH(int, address);
    QFETCH(QString, phaseLossTime);
    QFETCH(int, mode);
    QFETCH(Bytes, expected);

    TxBuffer tx{};
    const int16_t length =
        BuildStartModeFrame(tx, static_cast<uint8_t>(address), phaseLossTime.toStdString(), mode);
    QCOMPARE(Bytes(tx.begin(), tx.begin() + length), expected);
}

void TestStartModeCommand::WritesTheDevice() {
    CDeviceRig rig(5);
    rig.Device.SetRegister(0x0155, 0x0500);
    SetStartMode(rig.Ctx, "3.5", 2);

    QCOMPARE(rig.SentFrames(), (std::vector<Bytes>{WriteFrame(5, 0x5455, {35, 0x02})}));
    QCOMPARE(rig.Clock.Sleeps(), (std::vector<uint32_t>{100}));
    QCOMPARE(rig.Device.Register(0x0155), uint16_t{35 << 8 | 2});
    QCOMPARE(rig.Window.Shows, 0);
}

QTEST_APPLESS_MAIN(TestStartModeCommand)
#include "TestStartModeCommand.moc"
