// Reading and changing the device's slave address and baud rate over the simulated line.

#include <QtTest>

#include "app/CommParamChange.h"
#include "support/DeviceRig.h"
#include "support/Vectors.h"

using namespace mp;
using namespace mp::test;
using Bytes = std::vector<uint8_t>;

namespace {

// The device, and the line, at the baud rate of `baudCode`.
void SetDevice(CDeviceRig& rig, int baudCode) {
    rig.Device.SetBaudCode(baudCode);
    rig.Port.Reconfigure({"sim", CSimulatedDevice::BaudRateOfCode(baudCode), kParityNone});
}

}  // namespace

class TestCommParam : public QObject {
    Q_OBJECT
private slots:
    void ReadShowsDeviceValues_data();
    void ReadShowsDeviceValues();
    void ChangeFollowsDevice_data();
    void ChangeFollowsDevice();
};

void TestCommParam::ReadShowsDeviceValues_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("baudCode");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<int>("shownAddress");
    QTest::addColumn<QString>("shownBaud");
    QTest::addColumn<std::vector<uint32_t>>("sleeps");
    const std::vector<uint32_t> fixed = {300, 100, 300};
    QTest::newRow("5 at 9600") << 5 << 3 << false << 5 << "9600" << fixed;
    QTest::newRow("247 at 1200") << 247 << 0 << false << 247 << "1200" << fixed;
    QTest::newRow("12 at 19200") << 12 << 4 << false << 12 << "19200" << fixed;
    // The baud code's reply has the address's shape: the read waits out the address's reply
    // first, up to 2000 ms after its request.
    // Not 0 and "1200" as if the device had said so: the read is marked unanswered.
    QTest::newRow("no answer")
        << 5 << 3 << true << 0 << "" << JoinSleeps({{300, 100}, OwedWait(1600), {300}});
}

void TestCommParam::ReadShowsDeviceValues() {
    QFETCH(int, address);
    QFETCH(int, baudCode);
    QFETCH(bool, silent);
    QFETCH(int, shownAddress);
    QFETCH(QString, shownBaud);
    QFETCH(std::vector<uint32_t>, sleeps);
    CDeviceRig rig(static_cast<uint8_t>(address));
    SetDevice(rig, baudCode);
    if (silent) {
        rig.Silence();
    }
    std::optional<std::pair<int, QString>> shown;
    bool answered = false;
    ReadDeviceCommParams(rig.Ctx, [&](bool answer, int a, std::string b) {
        answered = answer;
        shown = std::make_pair(a, QString::fromStdString(b));
    });
    QVERIFY(shown.has_value());
    QCOMPARE(answered, !silent);
    QCOMPARE(shown->first, shownAddress);
    QCOMPARE(shown->second, shownBaud);
    QCOMPARE(rig.SentFrames(),
             (std::vector<Bytes>{VectorFrame("request", address, "device address"),
                                 VectorFrame("request", address, "device baud code")}));
    QCOMPARE(rig.Clock.Sleeps(), sleeps);
}

void TestCommParam::ChangeFollowsDevice_data() {
    QTest::addColumn<int>("newAddress");
    QTest::addColumn<int>("newRate");
    QTest::addColumn<Bytes>("expected");
    QTest::newRow("address and rate")
        << 12 << 19200 << HexBytes("05 10 54 50 00 02 04 00 0C 00 04 EC A0");
    QTest::newRow("address only") << 12 << 9600 << WriteFrame(5, 0x5450, {0x00, 12, 0x00, 3});
    QTest::newRow("rate only") << 5 << 1200 << WriteFrame(5, 0x5450, {0x00, 5, 0x00, 0});
}

void TestCommParam::ChangeFollowsDevice() {
    QFETCH(int, newAddress);
    QFETCH(int, newRate);
    QFETCH(Bytes, expected);
    CDeviceRig rig(5);
    // A stale reply waiting on the line is thrown away before the write.
    rig.Port.InjectInput({0x05, 0x03});
    std::optional<std::pair<bool, std::string>> outcome;
    WriteDeviceCommParams(rig.Ctx, newAddress, BaudCodeOfRate(newRate),
                          PortSettings{"sim", newRate, kParityNone},
                          [&](bool followed, std::string error) {
                              outcome = std::make_pair(followed, std::move(error));
                          });
    QVERIFY(outcome.has_value());
    QCOMPARE(outcome->first, true);
    QCOMPARE(outcome->second, std::string());
    QVERIFY(rig.Clock.Sleeps().empty());
    QCOMPARE(rig.SentFrames(), std::vector<Bytes>{expected});
    QCOMPARE(rig.Port.WaitingCount(), int16_t{0});
    QCOMPARE(rig.Device.Address(), uint8_t(newAddress));
    QCOMPARE(rig.Device.BaudRate(), newRate);
    QCOMPARE(rig.Port.Settings().BaudRate, newRate);

    // The next exchange goes to the new address at the new rate, and the device answers it.
    rig.Port.ClearSent();
    QVERIFY(rig.Link.ReadHoldingRegisters(0x0124, 1));
    QCOMPARE(rig.SentFrames()[0], VectorFrame("request", newAddress, "event count"));
}


QTEST_GUILESS_MAIN(TestCommParam)
#include "test_comm_param.moc"
