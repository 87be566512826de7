// The factory defaults: the values and check states the window gets, and what a write of
// them puts on the line.

#include <QtTest>

#include "support/DeviceRig.h"
#include "settings/FactoryDefaults.h"
#include "settings/SettingsWrite.h"

using namespace mp;
using mp::test::CDeviceRig;
using mp::test::WriteFrame;

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// Settings and live values full of other values, as after a read and some edits.
void FillOtherValues(ProtectionSettings& s, LiveValues& live) {
    for (std::string* text :
         {&s.CtRatio, &s.RatedCurrent, &s.RatedVoltage, &s.StartTime, &s.LockedRotorMultiple,
          &s.LockedRotorTime, &s.DefiniteTimeMultiple, &s.DefiniteTimeTime, &s.UnbalancePercent,
          &s.UnbalanceTime, &s.CurveSelection, &s.PhaseLossTime, &s.PwmPhase}) {
        *text = "77";
    }
    s.StartModeText = "星三角起动";
    s.BreakingCurrent = s.OverVoltagePercent = s.OverVoltageTime = 77;
    s.UnderVoltagePercent = s.UnderVoltageTime = 77;
    s.Enabled.fill(false);
    s.Enabled[kDefiniteTime] = true;
    live.Voltages = {"380.0", "381.0", "379.0"};
    live.Currents = {"1.000", "2.000", "3.000"};
    live.Inputs.fill(Lamp::Red);
    live.Outputs.fill(Lamp::Red);
}

}  // namespace

class TestFactoryDefaults : public QObject {
    Q_OBJECT

private slots:
    void Values();
    void WriteOfTheDefaults();
};

void TestFactoryDefaults::Values() {
    ProtectionSettings s;
    LiveValues live;
    FillOtherValues(s, live);
    RestoreProtectionDefaults(s, live);

    const QStringList texts = {Q(s.LockedRotorMultiple),
                               Q(s.LockedRotorTime),
                               Q(s.DefiniteTimeMultiple),
                               Q(s.DefiniteTimeTime),
                               Q(s.UnbalancePercent),
                               Q(s.UnbalanceTime),
                               Q(s.CtRatio),
                               Q(s.RatedCurrent),
                               Q(s.RatedVoltage),
                               Q(s.StartTime),
                               Q(s.CurveSelection),
                               Q(s.PhaseLossTime),
                               Q(s.PwmPhase)};
    QCOMPARE(texts, (QStringList{"4.0", "0.5", "2.0", "0", "30", "5.0", "1", "1.0", "380", "20",
                                 "125", "0.5", "B相电流"}));
    QCOMPARE(s.OverVoltagePercent, 120);
    QCOMPARE(s.OverVoltageTime, 5);
    QCOMPARE(s.UnderVoltagePercent, 80);
    QCOMPARE(s.UnderVoltageTime, 5);
    QCOMPARE(s.BreakingCurrent, 9999);
    for (int k = 0; k < kProtectionCount; ++k) {
        QCOMPARE(s.Enabled[k], k != kDefiniteTime);
    }
    // The start-mode display is the device's and is left as it was.
    QCOMPARE(Q(s.StartModeText), QString("星三角起动"));

    for (const std::string& voltage : live.Voltages) {
        QCOMPARE(Q(voltage), QString("0.00"));
    }
    for (Lamp input : live.Inputs) {
        QCOMPARE(input, Lamp::Green);
    }
    // Currents and output lamps belong to the live reads and the commands.
    QCOMPARE(Q(live.Currents[0]), QString("1.000"));
    QCOMPARE(live.Outputs[0], Lamp::Red);
}

void TestFactoryDefaults::WriteOfTheDefaults() {
    ProtectionSettings s;
    LiveValues live;
    RestoreProtectionDefaults(s, live);
    QVERIFY(!ValidateSettings(s).has_value());

    CDeviceRig rig;
    rig.Device.SetRegister(0x0155, 0);
    std::optional<SettingsWriteResult> result;
    WriteSettings(rig.Ctx, s, [&](SettingsWriteResult r) { result = r; });
    QVERIFY(result && !result->OverVoltageSkipped);

    const auto frames = rig.SentFrames();
    QCOMPARE(frames.size(), size_t{7});
    QCOMPARE(frames[0], WriteFrame(1, 0x545A, {0xF7, 0x01, 0x00, 0x06, 40, 5, 20, 0, 30, 50}));
    QCOMPARE(frames[1], WriteFrame(1, 0x5462, {0x27, 0x0F}));
    QCOMPARE(frames[2], WriteFrame(1, 0x5453, {0x00, 0x01}));
    QCOMPARE(frames[4], WriteFrame(1, 0x5454, {0x00, 0x01, 5, 0x00}));
    QCOMPARE(frames[5], WriteFrame(1, 0x5457, {0x01, 0x7C, 0x00, 10, 0x00, 20}));
    QCOMPARE(frames[6], WriteFrame(1, 0x5460, {120, 5, 80, 5}));
}

QTEST_APPLESS_MAIN(TestFactoryDefaults)
#include "TestFactoryDefaults.moc"
