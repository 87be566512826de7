// The up/down steps of the six stepped settings and the check boxes that fill a field.

#include <QtTest>

#include "settings/SettingsEditing.h"
#include "settings/SettingsSample.h"

using namespace mp;
using mp::test::FieldList;
using mp::test::OtherSettings;

Q_DECLARE_METATYPE(mp::StepField)
Q_DECLARE_METATYPE(mp::Protection)

class TestSettingsEditing : public QObject {
    Q_OBJECT

private slots:
    void Step_data();
    void Step();
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
    QTest::newRow("0.2 down stays in range")
        << F::LockedRotorTime << "0.2" << false << "0.1" << false;
    QTest::newRow("0.1 down leaves 0.0, warned")
        << F::LockedRotorTime << "0.1" << false << "0.0" << true;
    QTest::newRow("100 up, warned") << F::UnbalancePercent << "100" << true << "101" << true;
    QTest::newRow("20 down, warned") << F::UnbalancePercent << "20" << false << "19" << true;
    QTest::newRow("7.9 up truncates to 8") << F::DefiniteTimeTime << "7.9" << true << "8" << false;
    QTest::newRow("255 up, warned") << F::DefiniteTimeTime << "255" << true << "256" << true;
    QTest::newRow("empty up to 0.1") << F::LockedRotorTime << "" << true << "0.1" << false;
    QTest::newRow("non-numeric reads as 0")
        << F::DefiniteTimeMultiple << "abc" << false << "-0.1" << true;
    QTest::newRow("leading number of the text")
        << F::UnbalancePercent << "30%" << true << "31" << false;
    QTest::newRow("9.9 up reaches 10.0")
        << F::LockedRotorMultiple << "9.9" << true << "10.0" << false;
    QTest::newRow("1.1 down reaches 1.0")
        << F::LockedRotorMultiple << "1.1" << false << "1.0" << false;
    QTest::newRow("up from below the range is silent")
        << F::LockedRotorMultiple << "0.5" << true << "0.6" << false;
    QTest::newRow("6.0 up, warned") << F::DefiniteTimeMultiple << "6.0" << true << "6.1" << true;
    QTest::newRow("25.5 up, warned") << F::UnbalanceTime << "25.5" << true << "25.6" << true;
    QTest::newRow("whole field compares the untruncated value")
        << F::UnbalancePercent << "20.9" << false << "19" << true;
}

void TestSettingsEditing::Step() {
    QFETCH(StepField, field);
    QFETCH(QString, before);
    QFETCH(bool, up);
    QFETCH(QString, after);
    QFETCH(bool, warned);

    ProtectionSettings s = OtherSettings();
    StepFieldText(s, field) = before.toStdString();
    // The stepped fields stand at 5 to 10 of the list, in the order of StepField.
    QStringList expected = FieldList(s);
    expected[5 + static_cast<int>(field)] = after;
    QCOMPARE(StepSetting(s, field, up), warned);
    QCOMPARE(FieldList(s), expected);
}

void TestSettingsEditing::ProtectionClick_data() {
    QTest::addColumn<Protection>("box");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<bool>("takesFields");
    QTest::addColumn<int>("changedField");  // index in FieldList(), -1 for none
    QTest::addColumn<QString>("value");

    QTest::newRow("堵转保护 ticked") << kLockedRotor << true << true << 6 << "0.3";
    QTest::newRow("堵转保护 cleared") << kLockedRotor << false << true << 6 << "0";
    QTest::newRow("定时限过负荷 ticked") << kDefiniteTime << true << true << 8 << "50";
    QTest::newRow("不平衡 ticked") << kUnbalance << true << true << 10 << "2.0";
    QTest::newRow("缺相保护 ticked") << kPhaseLoss << true << true << 12 << "0.5";
    QTest::newRow("反时限过负荷 ticked") << kInverseTime << true << true << 11 << "125";
    QTest::newRow("过压保护 ticked") << kOverVoltage << true << true << 16 << "5";
    QTest::newRow("过压保护 cleared") << kOverVoltage << false << true << 16 << "0";
    QTest::newRow("欠压保护 ticked") << kUnderVoltage << true << true << 18 << "5";
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
    ProtectionSettings s = OtherSettings();
    s.Enabled.fill(!checked);
    QStringList expected = FieldList(s);
    if (changedField >= 0) {
        expected[changedField] = value;
    }
    expected[expected.size() - kProtectionCount + box] = checked ? "ticked" : "cleared";
    ApplyProtectionClick(s, box, checked);
    QCOMPARE(FieldList(s), expected);
}

QTEST_APPLESS_MAIN(TestSettingsEditing)
#include "TestSettingsEditing.moc"
