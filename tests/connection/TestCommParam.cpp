// Reading and changing the device's slave address and baud rate over the simulated line.

#include <QtTest>

#include "connection/CommParamChange.h"
#include "support/DeviceRig.h"
#include "support/Vectors.h"

using namespace mp;
using namespace mp::test;
using Bytes = std::vector<uint8_t>;

namespace {

// The device, and the line, at the baud rate of `baudCode`.
void SetDevice(CDeviceRig& rig, int baudCode) {
    rig.Device.SetBaudCode(baudCode);
    rig.Port.Reconfigure({"sim", BaudRateOfCode(baudCode), kParityNone});
}

}  // namespace

class TestCommParam : public QObject {
    Q_OBJECT
private slots:
    void BaudCodesBothWays_data();
    void BaudCodesBothWays();
    void ReadShowsDeviceValues_data();
    void ReadShowsDeviceValues();
    void ChangeFollowsDevice_data();
    void ChangeFollowsDevice();
};

// Register 0x0151 carries the rate as a code; a code or rate outside the device's five has
// none, so it must never turn into a plausible rate or code.
void TestCommParam::BaudCodesBothWays_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("rate");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0 << 1200 << "1200";
    QTest::newRow("1") << 1 << 2400 << "2400";
    QTest::newRow("2") << 2 << 4800 << "4800";
    QTest::newRow("3") << 3 << 9600 << "9600";
    QTest::newRow("4") << 4 << 19200 << "19200";
    QTest::newRow("code 5") << 5 << 0 << "";
    QTest::newRow("code -1") << -1 << 0 << "";
    QTest::newRow("code 255") << 255 << 0 << "";
}

void TestCommParam::BaudCodesBothWays() {
    QFETCH(int, code);
    QFETCH(int, rate);
    QFETCH(QString, text);
    QCOMPARE(BaudRateOfCode(code), rate);
    QCOMPARE(QString::fromStdString(BaudTextOfCode(code)), text);
    QCOMPARE(IsBaudRate(rate), rate != 0);
    if (rate != 0) {
        QCOMPARE(BaudCodeOfRate(rate), code);
    }
    for (const int other : {0, 300, 9601, 38400, 115200}) {
        QCOMPARE(BaudCodeOfRate(other), -1);
    }
}

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
    // Nothing is sent to the device while its reply may still come: the baud code's read
    // waits out the address's reply first, up to 3000 ms after its request.
    // Not 0 and "1200" as if the device had said so: the read is marked unanswered.
    QTest::newRow("no answer") << 5 << 3 << true << 0 << ""
                               << JoinSleeps({{300, 100}, OwedWait(2600), {300}});
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

    // The value read gives the same, or nothing rather than address 0.
    const std::optional<DeviceCommParams> held = FetchDeviceCommParams(rig.Ctx);
    QCOMPARE(held.has_value(), !silent);
    if (held) {
        QCOMPARE(held->Address, shownAddress);
        QCOMPARE(QString::fromStdString(held->BaudText()), shownBaud);
    }
}

void TestCommParam::ChangeFollowsDevice_data() {
    QTest::addColumn<int>("newAddress");
    QTest::addColumn<int>("newRate");
    QTest::addColumn<QString>("fault");  // "", "ignores", "silent"
    QTest::addColumn<Bytes>("expected");
    QTest::addColumn<int>("outcome");  // CommChangeOutcome
    const Bytes both = HexBytes("05 10 54 50 00 02 04 00 0C 00 04 EC A0");
    using O = CommChangeOutcome;
    QTest::newRow("address and rate") << 12 << 19200 << "" << both << int(O::Confirmed);
    QTest::newRow("address only") << 12 << 9600 << "" << WriteFrame(5, 0x5450, {0x00, 12, 0x00, 3})
                                  << int(O::Confirmed);
    QTest::newRow("rate only") << 5 << 1200 << "" << WriteFrame(5, 0x5450, {0x00, 5, 0x00, 0})
                               << int(O::Confirmed);
    // The write is answered but not kept: the device stays at 5 / 9600, and so does the tool.
    QTest::newRow("device keeps its values") << 12 << 19200 << "ignores" << both << int(O::Refused);
    QTest::newRow("silent device") << 12 << 19200 << "silent" << both << int(O::NoAnswer);
}

void TestCommParam::ChangeFollowsDevice() {
    QFETCH(int, newAddress);
    QFETCH(int, newRate);
    QFETCH(QString, fault);
    QFETCH(Bytes, expected);
    QFETCH(int, outcome);
    CDeviceRig rig(5);
    if (fault == "ignores") {
        rig.Device.IgnoreWritesAt(0x5450);
    } else if (fault == "silent") {
        rig.Silence();
    }
    // A stale reply waiting on the line is thrown away before the write.
    rig.Port.InjectInput({0x05, 0x03});
    std::optional<CommChangeResult> result;
    const PortSettings oldLine{"sim", 9600, kParityNone};
    WriteDeviceCommParams(rig.Ctx, newAddress, BaudCodeOfRate(newRate), oldLine,
                          PortSettings{"sim", newRate, kParityNone},
                          [&](CommChangeResult r) { result = r; });
    QVERIFY(result.has_value());
    QCOMPARE(int(result->Outcome), outcome);
    const std::vector<Bytes> sent = rig.SentFrames();
    QVERIFY(sent.size() >= 3);
    QCOMPARE(sent.front(), expected);
    const bool confirmed = outcome == int(CommChangeOutcome::Confirmed);
    // Confirmed only by reading the new values back at the new address and rate; otherwise
    // the tool goes back where the device answered.
    const std::vector<Bytes> readBack = {VectorFrame("request", newAddress, "device address"),
                                         VectorFrame("request", newAddress, "device baud code")};
    QCOMPARE(std::vector<Bytes>(sent.begin() + 1, sent.begin() + 3), readBack);
    QCOMPARE(rig.Link.SlaveAddress(), uint8_t(confirmed ? newAddress : 5));
    QCOMPARE(rig.Port.Settings().BaudRate, confirmed ? newRate : 9600);
    if (fault.isEmpty()) {
        QCOMPARE(rig.Device.Address(), uint8_t(newAddress));
        QCOMPARE(rig.Device.BaudRate(), newRate);
    }

    // The next exchange goes where the tool now is, and the device answers it there.
    rig.Port.ClearSent();
    QCOMPARE(rig.Link.ReadHoldingRegisters(0x0124, 1), fault != "silent");
    QCOMPARE(rig.SentFrames().back(),
             VectorFrame("request", confirmed ? newAddress : 5, "event count"));
}

QTEST_GUILESS_MAIN(TestCommParam)
#include "TestCommParam.moc"
