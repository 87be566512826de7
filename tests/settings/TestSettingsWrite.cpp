// Validation of the settings, the six group frames byte by byte, and the whole write against
// the simulated device: order, waits, the start-mode read-back and what the device stores.

#include <QtTest>

#include "support/DeviceRig.h"
#include "modbus/RequestBuilder.h"
#include "settings/NumberText.h"
#include "settings/SettingsRead.h"
#include "settings/SettingsWrite.h"

using namespace mp;
using mp::test::CDeviceRig;
using mp::test::ReadFrame;
using mp::test::WriteFrame;

using Bytes = std::vector<uint8_t>;
Q_DECLARE_METATYPE(Bytes)

namespace {

// A complete, valid set of window values, each written the way the window formats it.
ProtectionSettings WindowSettings() {
    ProtectionSettings s;
    s.CtRatio = "50";
    s.RatedCurrent = "15.0";
    s.RatedVoltage = "380";
    s.StartTime = "20";
    s.LockedRotorMultiple = "4.0";
    s.LockedRotorTime = "0.5";
    s.DefiniteTimeMultiple = "2.0";
    s.DefiniteTimeTime = "0";
    s.UnbalancePercent = "30";
    s.UnbalanceTime = "5.0";
    s.CurveSelection = "125";
    s.PhaseLossTime = "0.5";
    s.PwmPhase = "B相电流";
    s.BreakingCurrent = 9999;
    s.OverVoltagePercent = 120;
    s.OverVoltageTime = 5;
    s.UnderVoltagePercent = 80;
    s.UnderVoltageTime = 5;
    s.Enabled.fill(true);
    s.Enabled[kDefiniteTime] = false;
    return s;
}

Bytes Frame(const TxBuffer& tx, int16_t length) {
    return Bytes(tx.begin(), tx.begin() + length);
}

QString Hex(const Bytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()))
        .toHex(' ');
}

using Edit = std::function<void(ProtectionSettings&)>;

}  // namespace

Q_DECLARE_METATYPE(Edit)

class TestSettingsWrite : public QObject {
    Q_OBJECT

private slots:
    void Validate_data();
    void Validate();
    void GroupFrames_data();
    void GroupFrames();
    void FullWriteOrderAndWaits();
    void OverVoltageRange_data();
    void OverVoltageRange();
    void StartModeReadBack_data();
    void StartModeReadBack();
    void DeviceStoresWhatTheWindowHeld_data();
    void DeviceStoresWhatTheWindowHeld();
    void ClosedPortSendsNothingButStillReports();
};

void TestSettingsWrite::Validate_data() {
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QString>("message");  // empty: accepted

    auto row = [](const char* name, Edit edit, const char* message) {
        QTest::newRow(name) << edit << QString::fromUtf8(message);
    };
    row(
        "window values", [](ProtectionSettings&) {}, "");
    row(
        "CT 999", [](auto& s) { s.CtRatio = "999"; }, "");
    row(
        "CT 1", [](auto& s) { s.CtRatio = "1"; }, "");
    row(
        "CT 1000", [](auto& s) { s.CtRatio = "1000"; }, "CT超过范围");
    row(
        "CT 0", [](auto& s) { s.CtRatio = "0"; }, "CT超过范围");
    row(
        "CT empty", [](auto& s) { s.CtRatio = ""; }, "CT超过范围");
    row(
        "CT 12.7 read as 12", [](auto& s) { s.CtRatio = "12.7"; }, "");
    row(
        "rated current 0.1", [](auto& s) { s.RatedCurrent = "0.1"; }, "");
    row(
        "rated current 999.9", [](auto& s) { s.RatedCurrent = "999.9"; }, "");
    row(
        "rated current 0.05", [](auto& s) { s.RatedCurrent = "0.05"; }, "额定电流超过范围");
    row(
        "rated current 1000", [](auto& s) { s.RatedCurrent = "1000"; }, "额定电流超过范围");
    row(
        "rated current text", [](auto& s) { s.RatedCurrent = "abc"; }, "额定电流超过范围");
    row(
        "start time 255", [](auto& s) { s.StartTime = "255"; }, "");
    row(
        "start time 0", [](auto& s) { s.StartTime = "0"; }, "");
    row(
        "start time 256", [](auto& s) { s.StartTime = "256"; }, "启动时间超过范围");
    row(
        "start time -1", [](auto& s) { s.StartTime = "-1"; }, "启动时间超过范围");
    row(
        "breaking current 9999", [](auto& s) { s.BreakingCurrent = 9999; }, "");
    row(
        "breaking current 10000", [](auto& s) { s.BreakingCurrent = 10000; }, "分断电流超出范围");
    row(
        "breaking current negative", [](auto& s) { s.BreakingCurrent = -5; }, "");
    row(
        "curve not in the list", [](auto& s) { s.CurveSelection = "130"; },
        "曲线选择的值不在列表中");
    row(
        "curve empty", [](auto& s) { s.CurveSelection = ""; }, "曲线选择的值不在列表中");
    row(
        "PWM phase not in the list", [](auto& s) { s.PwmPhase = "D相电流"; },
        "PWM选择输出的值不在列表中");
    row(
        "CT checked before rated current",
        [](auto& s) {
            s.CtRatio = "0";
            s.RatedCurrent = "0";
        },
        "CT超过范围");
    row(
        "rated current checked before start time",
        [](auto& s) {
            s.RatedCurrent = "0";
            s.StartTime = "300";
        },
        "额定电流超过范围");
    row(
        "start time checked before breaking current",
        [](auto& s) {
            s.StartTime = "300";
            s.BreakingCurrent = 20000;
        },
        "启动时间超过范围");
    row(
        "ranges checked before the lists",
        [](auto& s) {
            s.BreakingCurrent = 20000;
            s.CurveSelection = "x";
        },
        "分断电流超出范围");
    row(
        "over-voltage is not checked here", [](auto& s) { s.OverVoltagePercent = 200; }, "");
}

void TestSettingsWrite::Validate() {
    QFETCH(Edit, edit);
    QFETCH(QString, message);
    ProtectionSettings s = WindowSettings();
    edit(s);
    const std::optional<std::string> result = ValidateSettings(s);
    QCOMPARE(result ? QString::fromStdString(*result) : QString(), message);
}

void TestSettingsWrite::GroupFrames_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<int>("group");
    QTest::addColumn<Bytes>("expected");

    enum { kProtections, kBreaking, kCt, kPhaseStart, kRatings, kVoltage };
    auto none = [](ProtectionSettings&) {};

    QTest::newRow("protections, window values")
        << 1 << Edit(none) << int(kProtections)
        << WriteFrame(1, 0x545A, {0xF7, 0x01, 0x00, 0x06, 40, 5, 20, 0, 30, 50});
    QTest::newRow("protections, address 247")
        << 247 << Edit(none) << int(kProtections)
        << WriteFrame(247, 0x545A, {0xF7, 0x01, 0x00, 0x06, 40, 5, 20, 0, 30, 50});
    QTest::newRow("all nine protections ticked")
        << 1 << Edit([](auto& s) { s.Enabled.fill(true); }) << int(kProtections)
        << WriteFrame(1, 0x545A, {0xFF, 0x01, 0x00, 0x06, 40, 5, 20, 0, 30, 50});
    QTest::newRow("only short circuit ticked")
        << 1 << Edit([](auto& s) {
               s.Enabled.fill(false);
               s.Enabled[kShortCircuit] = true;
           })
        << int(kProtections)
        << WriteFrame(1, 0x545A, {0x01, 0x00, 0x00, 0x06, 40, 5, 20, 0, 30, 50});
    QTest::newRow("locked-rotor time 30.0 sends the low byte of 300")
        << 1 << Edit([](auto& s) { s.LockedRotorTime = "30.0"; }) << int(kProtections)
        << WriteFrame(1, 0x545A, {0xF7, 0x01, 0x00, 0x06, 40, 0x2C, 20, 0, 30, 50});
    QTest::newRow("tenths and whole values truncated")
        << 1 << Edit([](auto& s) {
               s.LockedRotorMultiple = "10.0";
               s.DefiniteTimeMultiple = "6.05";
               s.DefiniteTimeTime = "7.9";
               s.UnbalancePercent = "100";
               s.UnbalanceTime = "25.5";
               s.CurveSelection = "1200";
           })
        << int(kProtections)
        << WriteFrame(1, 0x545A, {0xF7, 0x01, 0x00, 12, 100, 5, 60, 7, 100, 255});
    QTest::newRow("breaking current 9999")
        << 1 << Edit(none) << int(kBreaking) << WriteFrame(1, 0x5462, {0x27, 0x0F});
    QTest::newRow("negative breaking current sends its low 16 bits")
        << 1 << Edit([](auto& s) { s.BreakingCurrent = -5; }) << int(kBreaking)
        << WriteFrame(1, 0x5462, {0xFF, 0xFB});
    QTest::newRow("CT ratio 50") << 1 << Edit(none) << int(kCt)
                                 << WriteFrame(1, 0x5453, {0x00, 50});
    QTest::newRow("CT ratio 12.7 sent as 12") << 1 << Edit([](auto& s) { s.CtRatio = "12.7"; })
                                              << int(kCt) << WriteFrame(1, 0x5453, {0x00, 12});
    QTest::newRow("CT ratio 999") << 5 << Edit([](auto& s) { s.CtRatio = "999"; }) << int(kCt)
                                  << WriteFrame(5, 0x5453, {0x03, 0xE7});
    QTest::newRow("phase and start") << 1 << Edit([](auto& s) {
        s.PwmPhase = "C相电流";
        s.PhaseLossTime = "2.5";
    }) << int(kPhaseStart) << WriteFrame(1, 0x5454, {0x00, 0x02, 25, 0x02});
    QTest::newRow("phase-loss time 25.6 sends the low byte of 256")
        << 1 << Edit([](auto& s) { s.PhaseLossTime = "25.6"; }) << int(kPhaseStart)
        << WriteFrame(1, 0x5454, {0x00, 0x01, 0x00, 0x02});
    QTest::newRow("ratings, rated current 99.9 sent as 999")
        << 1 << Edit([](auto& s) { s.RatedCurrent = "99.9"; }) << int(kRatings)
        << WriteFrame(1, 0x5457, {0x01, 0x7C, 0x03, 0xE7, 0x00, 20});
    QTest::newRow("ratings, upper limits") << 1 << Edit([](auto& s) {
        s.RatedVoltage = "660";
        s.RatedCurrent = "999.9";
        s.StartTime = "255";
    }) << int(kRatings) << WriteFrame(1, 0x5457, {0x02, 0x94, 0x27, 0x0F, 0x00, 0xFF});
    QTest::newRow("voltage protections")
        << 1 << Edit(none) << int(kVoltage) << WriteFrame(1, 0x5460, {120, 5, 80, 5});
    QTest::newRow("voltage protections, low 8 bits") << 1 << Edit([](auto& s) {
        s.OverVoltagePercent = 150;
        s.OverVoltageTime = 300;
        s.UnderVoltagePercent = -1;
        s.UnderVoltageTime = 0;
    }) << int(kVoltage) << WriteFrame(1, 0x5460, {150, 0x2C, 0xFF, 0});
}

void TestSettingsWrite::GroupFrames() {
    QFETCH(int, address);
    QFETCH(Edit, edit);
    QFETCH(int, group);
    QFETCH(Bytes, expected);

    ProtectionSettings s = WindowSettings();
    edit(s);
    TxBuffer tx{};
    const auto a = static_cast<uint8_t>(address);
    int16_t length = 0;
    switch (group) {
        case 0:
            length = BuildProtectionsFrame(tx, a, s);
            break;
        case 1:
            length = BuildBreakingCurrentFrame(tx, a, s);
            break;
        case 2:
            length = BuildCtRatioFrame(tx, a, s);
            break;
        case 3:
            length = BuildPhaseAndStartFrame(tx, a, s, 0x02);
            break;
        case 4:
            length = BuildRatingsFrame(tx, a, s);
            break;
        default:
            length = BuildVoltageProtectionsFrame(tx, a, s);
            break;
    }
    QCOMPARE(Hex(Frame(tx, length)), Hex(expected));
}

void TestSettingsWrite::FullWriteOrderAndWaits() {
    CDeviceRig rig;
    rig.Device.SetRegister(0x0155, 9 << 8 | 1);  // device in reversing start
    const ProtectionSettings s = WindowSettings();

    int calls = 0;
    SettingsWriteResult result;
    result.OverVoltageSkipped = true;
    WriteSettings(rig.Ctx, s, [&](SettingsWriteResult r) {
        ++calls;
        result = r;
    });

    QCOMPARE(calls, 1);
    QVERIFY(!result.OverVoltageSkipped);
    const std::vector<Bytes> expected = {
        WriteFrame(1, 0x545A, {0xF7, 0x01, 0x00, 0x06, 40, 5, 20, 0, 30, 50}),
        WriteFrame(1, 0x5462, {0x27, 0x0F}),
        WriteFrame(1, 0x5453, {0x00, 50}),
        ReadFrame(1, 0x0155, 1),
        WriteFrame(1, 0x5454, {0x00, 0x01, 5, 0x01}),
        WriteFrame(1, 0x5457, {0x01, 0x7C, 0x00, 150, 0x00, 20}),
        WriteFrame(1, 0x5460, {120, 5, 80, 5}),
    };
    const auto sent = rig.Port.Sent();
    QCOMPARE(sent.size(), expected.size());
    // Each frame goes out after the waits that follow the one before it.
    const std::vector<uint64_t> times = {0, 300, 600, 900, 1300, 1600, 2200};
    for (size_t k = 0; k < sent.size(); ++k) {
        QCOMPARE(Hex(sent[k].Bytes), Hex(expected[k]));
        QCOMPARE(sent[k].Time, times[k]);
    }
    QCOMPARE(rig.Clock.Sleeps(),
             (std::vector<uint32_t>{300, 300, 300, 300, 100, 300, 300, 300, 300}));
    QCOMPARE(rig.Clock.Elapsed(), uint64_t{2500});
    QCOMPARE(rig.Window.Shows, 0);
}

void TestSettingsWrite::OverVoltageRange_data() {
    QTest::addColumn<int>("percent");
    QTest::addColumn<bool>("written");
    QTest::newRow("104") << 104 << false;
    QTest::newRow("105") << 105 << true;
    QTest::newRow("150") << 150 << true;
    QTest::newRow("151") << 151 << false;
    QTest::newRow("0") << 0 << false;
}

void TestSettingsWrite::OverVoltageRange() {
    QFETCH(int, percent);
    QFETCH(bool, written);

    CDeviceRig rig;
    ProtectionSettings s = WindowSettings();
    s.OverVoltagePercent = percent;
    s.OverVoltageTime = 7;
    std::optional<SettingsWriteResult> result;
    WriteSettings(rig.Ctx, s, [&](SettingsWriteResult r) { result = r; });

    QVERIFY(result.has_value());
    QCOMPARE(result->OverVoltageSkipped, !written);
    const auto frames = rig.SentFrames();
    // The other five groups and the read-back go out whatever the over-voltage value.
    QCOMPARE(frames.size(), size_t{written ? 7u : 6u});
    QCOMPARE(frames[5][2], uint8_t{0x54});
    QCOMPARE(frames[5][3], uint8_t{0x57});
    QCOMPARE(rig.Device.Register(0x0160), uint16_t(written ? percent << 8 | 7 : 120 << 8 | 5));
    QCOMPARE(rig.Clock.Elapsed(), uint64_t{written ? 2500u : 2200u});
}

void TestSettingsWrite::StartModeReadBack_data() {
    QTest::addColumn<int>("deviceMode");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<bool>("stray");
    QTest::addColumn<int>("sentMode");

    QTest::newRow("star-delta kept") << 2 << false << false << 2;
    QTest::newRow("direct kept") << 0 << false << false << 0;
    QTest::newRow("out-of-list value kept as it is") << 7 << false << false << 7;
    QTest::newRow("stray bytes before the reply") << 1 << false << true << 1;
    QTest::newRow("silent device gives 0") << 2 << true << false << 0;
}

void TestSettingsWrite::StartModeReadBack() {
    QFETCH(int, deviceMode);
    QFETCH(bool, silent);
    QFETCH(bool, stray);
    QFETCH(int, sentMode);

    CDeviceRig rig;
    rig.Device.SetRegister(0x0155, static_cast<uint16_t>(3 << 8 | deviceMode));
    SimFaults faults;
    faults.Silent = silent;
    if (stray) {
        faults.StrayBytes = {0x00, 0x13, 0x37};
    }
    rig.Port.SetFaults(faults);
    ProtectionSettings s = WindowSettings();
    s.PwmPhase = "A相电流";
    s.PhaseLossTime = "1.2";
    WriteSettings(rig.Ctx, s, {});

    const auto frames = rig.SentFrames();
    QCOMPARE(frames.size(), size_t{7});
    QCOMPARE(Hex(frames[4]),
             Hex(WriteFrame(1, 0x5454, {0x00, 0x00, 12, static_cast<uint8_t>(sentMode)})));
}

void TestSettingsWrite::DeviceStoresWhatTheWindowHeld_data() {
    QTest::addColumn<Edit>("edit");
    QTest::newRow("window values") << Edit([](ProtectionSettings&) {});
    QTest::newRow("edited values") << Edit([](ProtectionSettings& s) {
        s.CtRatio = "200";
        s.RatedCurrent = "99.9";
        s.RatedVoltage = "660";
        s.StartTime = "255";
        s.LockedRotorMultiple = "10.0";
        s.LockedRotorTime = "25.5";
        s.DefiniteTimeMultiple = "6.0";
        s.DefiniteTimeTime = "50";
        s.UnbalancePercent = "100";
        s.UnbalanceTime = "2.0";
        s.CurveSelection = "1200";
        s.PhaseLossTime = "12.5";
        s.PwmPhase = "C相电流";
        s.BreakingCurrent = 1234;
        s.OverVoltagePercent = 150;
        s.OverVoltageTime = 9;
        s.UnderVoltagePercent = 70;
        s.UnderVoltageTime = 3;
        s.Enabled.fill(false);
        s.Enabled[kDefiniteTime] = true;
        s.Enabled[kUnderVoltage] = true;
    });
}

void TestSettingsWrite::DeviceStoresWhatTheWindowHeld() {
    QFETCH(Edit, edit);
    CDeviceRig rig;
    rig.Device.SetRegister(0x0155, 0 << 8 | 2);  // star-delta
    ProtectionSettings held = WindowSettings();
    edit(held);
    QVERIFY(!ValidateSettings(held).has_value());
    WriteSettings(rig.Ctx, held, {});

    // The device's registers, as written.
    QCOMPARE(rig.Device.Register(0x0153), uint16_t(AtoI(held.CtRatio)));
    QCOMPARE(rig.Device.Register(0x0155) & 0xFF, 2);  // the start mode is not changed

    // Read back through the settings read into fresh fields: everything the window held.
    rig.Clock.ClearSleeps();
    ProtectionSettings read;
    QVERIFY(ReadSettingsBlockA(rig.Ctx, &read));
    QVERIFY(ReadSettingsBlockB(rig.Ctx, &read));
    ReadSettingsBlockC(rig.Ctx, &read);

    ProtectionSettings expected = held;
    expected.StartModeText = "星三角起动";
    auto q = [](const std::string& t) { return QString::fromStdString(t); };
    QCOMPARE(q(read.CtRatio), q(expected.CtRatio));
    QCOMPARE(q(read.RatedCurrent), q(expected.RatedCurrent));
    QCOMPARE(q(read.RatedVoltage), q(expected.RatedVoltage));
    QCOMPARE(q(read.StartTime), q(expected.StartTime));
    QCOMPARE(q(read.StartModeText), q(expected.StartModeText));
    QCOMPARE(q(read.LockedRotorMultiple), q(expected.LockedRotorMultiple));
    QCOMPARE(q(read.LockedRotorTime), q(expected.LockedRotorTime));
    QCOMPARE(q(read.DefiniteTimeMultiple), q(expected.DefiniteTimeMultiple));
    QCOMPARE(q(read.DefiniteTimeTime), q(expected.DefiniteTimeTime));
    QCOMPARE(q(read.UnbalancePercent), q(expected.UnbalancePercent));
    QCOMPARE(q(read.UnbalanceTime), q(expected.UnbalanceTime));
    QCOMPARE(q(read.CurveSelection), q(expected.CurveSelection));
    QCOMPARE(q(read.PhaseLossTime), q(expected.PhaseLossTime));
    QCOMPARE(q(read.PwmPhase), q(expected.PwmPhase));
    QCOMPARE(read.BreakingCurrent, expected.BreakingCurrent);
    QCOMPARE(read.OverVoltagePercent, expected.OverVoltagePercent);
    QCOMPARE(read.OverVoltageTime, expected.OverVoltageTime);
    QCOMPARE(read.UnderVoltagePercent, expected.UnderVoltagePercent);
    QCOMPARE(read.UnderVoltageTime, expected.UnderVoltageTime);
    for (int k = 0; k < kProtectionCount; ++k) {
        QCOMPARE(read.Enabled[k], expected.Enabled[k]);
    }
}

void TestSettingsWrite::ClosedPortSendsNothingButStillReports() {
    CDeviceRig rig;
    rig.Port.ClosePort();
    bool reported = false;
    WriteSettings(rig.Ctx, WindowSettings(), [&](SettingsWriteResult) { reported = true; });
    QVERIFY(reported);
    QVERIFY(rig.Port.Sent().empty());
    // The waits are kept, so the write takes as long as with an open port.
    QCOMPARE(rig.Clock.Elapsed(), uint64_t{2500});
    QCOMPARE(rig.Device.Register(0x0153), uint16_t{50});
}

QTEST_APPLESS_MAIN(TestSettingsWrite)
#include "TestSettingsWrite.moc"
