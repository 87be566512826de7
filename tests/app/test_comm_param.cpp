// Reading and changing the device's slave address and baud rate over the simulated line.

#include <QtTest>

#include "app/CommParamChange.h"
#include "simulator/SimulatedDevice.h"
#include "simulator/SimulatedPort.h"
#include "simulator/VirtualClock.h"
#include "support/ImmediateWindow.h"
#include "support/Vectors.h"

using namespace mp;
using Bytes = std::vector<uint8_t>;

Q_DECLARE_METATYPE(Bytes)

namespace {

struct Rig {
    Rig(uint8_t address, int baudCode) {
        device.SetLiveMotion(false);
        device.SetAddress(address);
        device.SetBaudCode(baudCode);
        link.SetSlaveAddress(address);
        port.OpenPort({"SIM", CSimulatedDevice::BaudRateOfCode(baudCode), kParityNone});
    }
    CVirtualClock clock;
    CSimulatedDevice device;
    CSimulatedPort port{device, clock};
    CModbusTransaction link{port, clock};
    test::CImmediateWindow window;
    CDeviceContext ctx{link, window, window};
};

}  // namespace

class TestCommParam : public QObject {
    Q_OBJECT
private slots:
    void BaudCodes_data();
    void BaudCodes();
    void Frame_data();
    void Frame();
    void ReadShowsDeviceValues_data();
    void ReadShowsDeviceValues();
    void ReadWithoutAnswer();
    void ChangeFollowsDevice_data();
    void ChangeFollowsDevice();
    void ClosedPortChangesAddressOnly();
    void SummaryText();
};

void TestCommParam::BaudCodes_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("rate");
    QTest::newRow("0") << 0 << "1200" << 1200;
    QTest::newRow("1") << 1 << "2400" << 2400;
    QTest::newRow("2") << 2 << "4800" << 4800;
    QTest::newRow("3") << 3 << "9600" << 9600;
    QTest::newRow("4") << 4 << "19200" << 19200;
    QTest::newRow("5") << 5 << "" << 38400;
    QTest::newRow("-1") << -1 << "" << 9601;
    QTest::newRow("255") << 255 << "" << 0;
}

void TestCommParam::BaudCodes() {
    QFETCH(int, code);
    QFETCH(QString, text);
    QFETCH(int, rate);
    QCOMPARE(QString::fromStdString(BaudTextOfCode(code)), text);
    QCOMPARE(BaudCodeOfRate(rate), text.isEmpty() ? -1 : code);
}

void TestCommParam::Frame_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("newAddress");
    QTest::addColumn<int>("code");
    QTest::addColumn<Bytes>("expected");
    QTest::newRow("5 to 12 at 19200")
        << 5 << 12 << 4
        << Bytes{0x05, 0x10, 0x54, 0x50, 0x00, 0x02, 0x04, 0x00, 0x0C, 0x00, 0x04, 0xEC, 0xA0};
}

void TestCommParam::Frame() {
    QFETCH(int, address);
    QFETCH(int, newAddress);
    QFETCH(int, code);
    QFETCH(Bytes, expected);
    TxBuffer tx{};
    const int16_t length = BuildCommParamFrame(tx, static_cast<uint8_t>(address), newAddress, code);
    QCOMPARE(Bytes(tx.begin(), tx.begin() + length), expected);
}

void TestCommParam::ReadShowsDeviceValues_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("baudCode");
    QTest::addColumn<QString>("baudText");
    QTest::newRow("5 at 9600") << 5 << 3 << "9600";
    QTest::newRow("247 at 1200") << 247 << 0 << "1200";
    QTest::newRow("12 at 19200") << 12 << 4 << "19200";
}

void TestCommParam::ReadShowsDeviceValues() {
    QFETCH(int, address);
    QFETCH(int, baudCode);
    QFETCH(QString, baudText);
    Rig rig(static_cast<uint8_t>(address), baudCode);
    int shownAddress = -1;
    QString shownBaud = "unset";
    ReadDeviceCommParams(rig.ctx, [&](int a, std::string b) {
        shownAddress = a;
        shownBaud = QString::fromStdString(b);
    });
    QCOMPARE(shownAddress, address);
    QCOMPARE(shownBaud, baudText);
    const auto sent = rig.port.Sent();
    QCOMPARE(sent.size(), size_t{2});
    QCOMPARE(sent[0].Bytes, test::VectorFrame("request", address, "device address"));
    QCOMPARE(sent[1].Bytes, test::VectorFrame("request", address, "device baud code"));
    QCOMPARE(rig.clock.Sleeps(), (std::vector<uint32_t>{300, 100, 300}));
}

void TestCommParam::ReadWithoutAnswer() {
    Rig rig(5, 3);
    rig.port.SetFaults(SimFaults{true, 0, {}, false, 1, 0});
    int shownAddress = -1;
    std::string shownBaud = "unset";
    ReadDeviceCommParams(rig.ctx, [&](int a, std::string b) {
        shownAddress = a;
        shownBaud = std::move(b);
    });
    QCOMPARE(shownAddress, 0);
    QCOMPARE(shownBaud, std::string("1200"));
}

void TestCommParam::ChangeFollowsDevice_data() {
    QTest::addColumn<int>("newAddress");
    QTest::addColumn<int>("newRate");
    QTest::newRow("address and rate") << 12 << 19200;
    QTest::newRow("address only") << 12 << 9600;
    QTest::newRow("rate only") << 5 << 1200;
}

void TestCommParam::ChangeFollowsDevice() {
    QFETCH(int, newAddress);
    QFETCH(int, newRate);
    Rig rig(5, 3);
    // A stale reply waiting on the line is thrown away before the write.
    rig.port.InjectInput({0x05, 0x03});
    PortSettings newLine{"SIM", newRate, kParityNone};
    std::optional<std::pair<bool, std::string>> outcome;
    WriteDeviceCommParams(rig.ctx, newAddress, BaudCodeOfRate(newRate), newLine,
                          [&](bool followed, std::string error) {
                              outcome = std::make_pair(followed, std::move(error));
                          });
    QVERIFY(outcome.has_value());
    QCOMPARE(outcome->first, true);
    QCOMPARE(outcome->second, std::string());
    QVERIFY(rig.clock.Sleeps().empty());
    QCOMPARE(rig.port.WaitingCount(), int16_t{0});

    TxBuffer tx{};
    const int16_t length = BuildCommParamFrame(tx, 5, newAddress, BaudCodeOfRate(newRate));
    QCOMPARE(rig.port.Sent().size(), size_t{1});
    QCOMPARE(rig.port.Sent()[0].Bytes, Bytes(tx.begin(), tx.begin() + length));
    QCOMPARE(rig.device.Address(), uint8_t(newAddress));
    QCOMPARE(rig.device.BaudRate(), newRate);
    QCOMPARE(rig.link.SlaveAddress(), uint8_t(newAddress));
    QCOMPARE(rig.port.Settings().BaudRate, newRate);

    // The next exchange goes to the new address at the new rate, and the device answers it.
    rig.port.ClearSent();
    QVERIFY(rig.link.ReadHoldingRegisters(0x0124, 1));
    QCOMPARE(rig.port.Sent()[0].Bytes, test::VectorFrame("request", newAddress, "event count"));
    QCOMPARE(rig.link.Rx()[0], uint8_t(newAddress));
}

void TestCommParam::ClosedPortChangesAddressOnly() {
    Rig rig(5, 3);
    rig.port.ClosePort();
    std::optional<std::pair<bool, std::string>> outcome;
    WriteDeviceCommParams(rig.ctx, 12, 4, PortSettings{"SIM", 19200, kParityNone},
                          [&](bool followed, std::string error) {
                              outcome = std::make_pair(followed, std::move(error));
                          });
    QVERIFY(outcome.has_value());
    QCOMPARE(outcome->first, false);
    QVERIFY(rig.port.Sent().empty());
    QCOMPARE(rig.device.Address(), uint8_t{5});
    QCOMPARE(rig.link.SlaveAddress(), uint8_t{12});
}

void TestCommParam::SummaryText() {
    QCOMPARE(QString::fromStdString(CommParamSummaryText(12, 19200)),
             QStringLiteral("子机地址-->12      波特率-->19200"));
}

QTEST_GUILESS_MAIN(TestCommParam)
#include "test_comm_param.moc"
