// The up/down steps of the six stepped settings and the check boxes that fill a field.

#include <QtTest>

#include "settings/SettingsEditing.h"

using namespace mp;

Q_DECLARE_METATYPE(mp::StepField)
Q_DECLARE_METATYPE(mp::Protection)

namespace {

ProtectionSettings SampleSettings() {
    ProtectionSettings s;
    s.CtRatio = "50";
    s.RatedCurrent = "15.0";
    s.RatedVoltage = "380";
    s.StartTime = "20";
    s.StartModeText = "直接起动";
    s.LockedRotorMultiple = "4.0";
    s.LockedRotorTime = "0.5";
    s.DefiniteTimeMultiple = "2.0";
    s.DefiniteTimeTime = "10";
    s.UnbalancePercent = "30";
    s.UnbalanceTime = "5.0";
    s.CurveSelection = "250";
    s.PhaseLossTime = "1.5";
    s.PwmPhase = "A相电流";
    s.BreakingCurrent = 800;
    s.OverVoltagePercent = 120;
    s.OverVoltageTime = 3;
    s.UnderVoltagePercent = 80;
    s.UnderVoltageTime = 4;
    return s;
}

// Every field as one list, so a comparison shows which one differs.
QStringList Fields(const ProtectionSettings& s) {
    QStringList fields;
    for (const std::string* text :
         {&s.CtRatio, &s.RatedCurrent, &s.RatedVoltage, &s.StartTime, &s.StartModeText,
          &s.LockedRotorMultiple, &s.LockedRotorTime, &s.DefiniteTimeMultiple, &s.DefiniteTimeTime,
          &s.UnbalancePercent, &s.UnbalanceTime, &s.CurveSelection, &s.PhaseLossTime,
          &s.PwmPhase}) {
        fields << QString::fromStdString(*text);
    }
    for (int value : {s.BreakingCurrent, s.OverVoltagePercent, s.OverVoltageTime,
                      s.UnderVoltagePercent, s.UnderVoltageTime}) {
        fields << QString::number(value);
    }
    for (bool enabled : s.Enabled) {
        fields << (enabled ? "ticked" : "cleared");
    }
    return fields;
}

}  // namespace

class TestSettingsEditing : public QObject {
    Q_OBJECT

private slots:
    void Step_data();
    void Step();
    void StepsDoNotDrift();
    void StepChangesOnlyItsField();
    void ProtectionClick_data();
    void ProtectionClick();
};

void TestSettingsEditing::Step_data() {
    QTest::addColumn<StepField>("field");
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("warned");

    using F = StepField;
    QTest::newRow("locked-rotor time 0.2 down stays in range")
        << F::LockedRotorTime << "0.2" << false << "0.1" << false;
    QTest::newRow("locked-rotor time 0.1 down leaves 0.0 and warns")
        << F::LockedRotorTime << "0.1" << false << "0.0" << true;
    QTest::newRow("unbalance percent 100 up")
        << F::UnbalancePercent << "100" << true << "101" << true;
    QTest::newRow("unbalance percent 20 down")
        << F::UnbalancePercent << "20" << false << "19" << true;
    QTest::newRow("unbalance percent 21 down")
        << F::UnbalancePercent << "21" << false << "20" << false;
    QTest::newRow("definite-time time 7.9 up truncates")
        << F::DefiniteTimeTime << "7.9" << true << "8" << false;
    QTest::newRow("definite-time time 255 up")
        << F::DefiniteTimeTime << "255" << true << "256" << true;
    QTest::newRow("definite-time time 1 down")
        << F::DefiniteTimeTime << "1" << false << "0" << true;
    QTest::newRow("empty tenths field up") << F::LockedRotorTime << "" << true << "0.1" << false;
    QTest::newRow("empty whole field up") << F::DefiniteTimeTime << "" << true << "1" << false;
    QTest::newRow("non-numeric text reads as 0")
        << F::DefiniteTimeMultiple << "abc" << false << "-0.1" << true;
    QTest::newRow("leading number of mixed text")
        << F::UnbalancePercent << "30%" << true << "31" << false;
    QTest::newRow("locked-rotor multiple 9.9 up reaches the maximum")
        << F::LockedRotorMultiple << "9.9" << true << "10.0" << false;
    QTest::newRow("locked-rotor multiple 10.0 up")
        << F::LockedRotorMultiple << "10.0" << true << "10.1" << true;
    QTest::newRow("locked-rotor multiple 1.1 down reaches the minimum")
        << F::LockedRotorMultiple << "1.1" << false << "1.0" << false;
    QTest::newRow("up from below the minimum is silent")
        << F::LockedRotorMultiple << "0.5" << true << "0.6" << false;
    QTest::newRow("down from above the maximum is silent")
        << F::DefiniteTimeMultiple << "7.0" << false << "6.9" << false;
    QTest::newRow("definite-time multiple 6.0 up")
        << F::DefiniteTimeMultiple << "6.0" << true << "6.1" << true;
    QTest::newRow("unbalance time 25.4 up reaches the maximum")
        << F::UnbalanceTime << "25.4" << true << "25.5" << false;
    QTest::newRow("unbalance time 25.5 up") << F::UnbalanceTime << "25.5" << true << "25.6" << true;
    QTest::newRow("unbalance time two decimals")
        << F::UnbalanceTime << "2.25" << true << "2.4" << false;
    QTest::newRow("whole field compares the untruncated value")
        << F::UnbalancePercent << "20.9" << false << "19" << true;
}

void TestSettingsEditing::Step() {
    QFETCH(StepField, field);
    QFETCH(QString, before);
    QFETCH(bool, up);
    QFETCH(QString, after);
    QFETCH(bool, warned);

    ProtectionSettings s = SampleSettings();
    StepFieldText(s, field) = before.toStdString();
    QCOMPARE(StepSetting(s, field, up), warned);
    QCOMPARE(QString::fromStdString(StepFieldText(s, field)), after);
}

void TestSettingsEditing::StepsDoNotDrift() {
    ProtectionSettings s = SampleSettings();
    s.LockedRotorMultiple = "1.0";
    for (int k = 0; k < 90; ++k) {
        QVERIFY2(!StepSetting(s, StepField::LockedRotorMultiple, true),
                 qPrintable(QString::fromStdString(s.LockedRotorMultiple)));
    }
    QCOMPARE(QString::fromStdString(s.LockedRotorMultiple), QString("10.0"));
    QVERIFY(StepSetting(s, StepField::LockedRotorMultiple, true));
    QCOMPARE(QString::fromStdString(s.LockedRotorMultiple), QString("10.1"));
    for (int k = 0; k < 91; ++k) {
        StepSetting(s, StepField::LockedRotorMultiple, false);
    }
    QCOMPARE(QString::fromStdString(s.LockedRotorMultiple), QString("1.0"));
}

void TestSettingsEditing::StepChangesOnlyItsField() {
    for (StepField field : {StepField::LockedRotorMultiple, StepField::LockedRotorTime,
                            StepField::DefiniteTimeMultiple, StepField::DefiniteTimeTime,
                            StepField::UnbalancePercent, StepField::UnbalanceTime}) {
        ProtectionSettings s = SampleSettings();
        ProtectionSettings expected = s;
        StepSetting(s, field, true);
        QVERIFY(StepFieldText(s, field) != StepFieldText(expected, field));
        StepFieldText(expected, field) = StepFieldText(s, field);
        QCOMPARE(Fields(s), Fields(expected));
    }
}

void TestSettingsEditing::ProtectionClick_data() {
    QTest::addColumn<Protection>("box");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("takesFields");
    // The expected settings are the sample with this change applied.
    QTest::addColumn<int>("changedField");  // index in Fields(), -1 for none
    QTest::addColumn<QString>("value");

    QTest::newRow("堵转保护 ticked") << kLockedRotor << true << true << 6 << "0.3";
    QTest::newRow("堵转保护 cleared") << kLockedRotor << false << true << 6 << "0";
    QTest::newRow("定时限过负荷 ticked") << kDefiniteTime << true << true << 8 << "50";
    QTest::newRow("定时限过负荷 cleared") << kDefiniteTime << false << true << 8 << "0";
    QTest::newRow("不平衡 ticked") << kUnbalance << true << true << 10 << "2.0";
    QTest::newRow("不平衡 cleared") << kUnbalance << false << true << 10 << "0";
    QTest::newRow("缺相保护 ticked") << kPhaseLoss << true << true << 12 << "0.5";
    QTest::newRow("缺相保护 cleared") << kPhaseLoss << false << true << 12 << "0";
    QTest::newRow("反时限过负荷 ticked") << kInverseTime << true << true << 11 << "125";
    QTest::newRow("反时限过负荷 cleared") << kInverseTime << false << true << 11 << "0";
    QTest::newRow("过压保护 ticked") << kOverVoltage << true << false << 16 << "5";
    QTest::newRow("过压保护 cleared") << kOverVoltage << false << false << 16 << "0";
    QTest::newRow("欠压保护 ticked") << kUnderVoltage << true << false << 18 << "5";
    QTest::newRow("欠压保护 cleared") << kUnderVoltage << false << false << 18 << "0";
    QTest::newRow("短路保护 ticked") << kShortCircuit << true << false << -1 << "";
    QTest::newRow("启动超时 cleared") << kStartTimeout << false << false << -1 << "";
}

void TestSettingsEditing::ProtectionClick() {
    QFETCH(Protection, box);
    QFETCH(bool, checked);
    QFETCH(bool, takesFields);
    QFETCH(int, changedField);
    QFETCH(QString, value);

    QCOMPARE(ProtectionClickTakesFields(box), takesFields);

    ProtectionSettings s = SampleSettings();
    s.Enabled.fill(!checked);
    QStringList expected = Fields(s);
    if (changedField >= 0) {
        expected[changedField] = value;
    }
    const int checkIndex = static_cast<int>(expected.size()) - kProtectionCount + box;
    expected[checkIndex] = checked ? "ticked" : "cleared";

    ApplyProtectionClick(s, box, checked);
    QCOMPARE(Fields(s), expected);
}

QTEST_APPLESS_MAIN(TestSettingsEditing)
#include "TestSettingsEditing.moc"
