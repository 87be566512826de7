// Validation of the settings, the group frames, the factory defaults, and the whole write
// against the simulated device: order, waits, the start-mode read-back and what it stores.

#include <QtTest>

#include "settings/FactoryDefaults.h"
#include "settings/NumberText.h"
#include "settings/SettingNames.h"
#include "settings/SettingsRead.h"
#include "settings/SettingsSample.h"
#include "settings/SettingsVerify.h"
#include "settings/SettingsWrite.h"
#include "support/DeviceRig.h"
#include "support/TestTranslator.h"

using namespace mp;
using namespace mp::test;

using Bytes = std::vector<uint8_t>;
using Edit = std::function<void(ProtectionSettings&)>;
Q_DECLARE_METATYPE(Edit)
using TextField = std::string mp::ProtectionSettings::*;
Q_DECLARE_METATYPE(TextField)

namespace {

// Writes the settings to the device at `address`, whose start mode reads back as `mode`.
std::vector<Bytes> Write(CDeviceRig& rig, const ProtectionSettings& s, int mode = 2) {
    rig.Device.SetRegister(kStartModeReadRegister, static_cast<uint16_t>(mode));
    WriteSettings(rig.Ctx, s, {});
    return rig.SentFrames();
}

}  // namespace

class TestSettingsWrite : public QObject {
    Q_OBJECT

private slots:
    void Validate_data();
    void Validate();
    void Frames_data();
    void Frames();
    void FactoryDefaultsWrittenInOrder();
    void OverVoltageRange_data();
    void OverVoltageRange();
    void StartModeReadBackFailureLeavesItsGroupOut();
    void StepOfEveryField_data();
    void StepOfEveryField();
    void DeviceStoresWhatTheWindowHeld_data();
    void DeviceStoresWhatTheWindowHeld();
    void VerifiedWrite_data();
    void VerifiedWrite();
    void MessagesInEnglish_data();
    void MessagesInEnglish();
};

void TestSettingsWrite::Validate_data() {
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<QString>("message");  // empty: accepted
    struct Row {
        const char* Name;
        Edit Change;
        const char* Message;
    };
    const Row rows[] = {
        {"window values", [](auto&) {}, ""},
        {"CT 999", [](auto& s) { s.CtRatio = "999"; }, ""},
        {"CT 1", [](auto& s) { s.CtRatio = "1"; }, ""},
        {"CT 1000", [](auto& s) { s.CtRatio = "1000"; }, "CT超过范围"},
        {"CT 0", [](auto& s) { s.CtRatio = "0"; }, "CT超过范围"},
        // Between two steps of the device: it would hold 12, not what the window shows.
        {"CT 12.7 is no ratio the device holds", [](auto& s) { s.CtRatio = "12.7"; },
         "电流变比的值“12.7”不是设备可存的值：步长为1（范围1-999）"},
        {"CT 50.0 is 50", [](auto& s) { s.CtRatio = "50.0"; }, ""},
        // Checked as it would be sent, not only by its leading whole number.
        {"CT 1e3 would go out as 1000", [](auto& s) { s.CtRatio = "1e3"; }, "CT超过范围"},
        {"start time 3e2 would go out as 300", [](auto& s) { s.StartTime = "3e2"; },
         "启动时间超过范围"},
        {"rated current 0.1", [](auto& s) { s.RatedCurrent = "0.1"; }, ""},
        {"rated current 999.9", [](auto& s) { s.RatedCurrent = "999.9"; }, ""},
        {"rated current 0.05", [](auto& s) { s.RatedCurrent = "0.05"; }, "额定电流超过范围"},
        {"rated current 1000", [](auto& s) { s.RatedCurrent = "1000"; }, "额定电流超过范围"},
        {"start time 0", [](auto& s) { s.StartTime = "0"; }, ""},
        {"start time 255", [](auto& s) { s.StartTime = "255"; }, ""},
        {"start time 256", [](auto& s) { s.StartTime = "256"; }, "启动时间超过范围"},
        {"start time -1", [](auto& s) { s.StartTime = "-1"; }, "启动时间超过范围"},
        {"breaking current 9999", [](auto& s) { s.BreakingCurrent = 9999; }, ""},
        {"breaking current 10000", [](auto& s) { s.BreakingCurrent = 10000; }, "分断电流超出范围"},
        // A negative current would go out as its low 16 bits.
        {"breaking current negative", [](auto& s) { s.BreakingCurrent = -5; },
         "交流接触器允许分断电流超出范围（0-9999）"},
        {"curve not in the list", [](auto& s) { s.CurveSelection = "130"; },
         "曲线选择的值不在列表中"},
        {"PWM phase not in the list", [](auto& s) { s.PwmPhase = "D相电流"; },
         "PWM选择输出的值不在列表中"},
        // Refused before anything is sent, no longer after five groups.
        {"over-voltage 200", [](auto& s) { s.OverVoltagePercent = 200; },
         "请在过压动作值范围为105-150"},
        // Every other value: the whole text a number, inside its range (the window tests hold
        // the values that were sent before).
        {"a leading number is not enough", [](auto& s) { s.UnbalanceTime = "2.0s"; },
         "不平衡动作时间的值“2.0s”不是数字（范围0.1-25.5，未投入时可为0）"},
        {"no exponents", [](auto& s) { s.LockedRotorTime = "1e1"; },
         "堵转动作时间的值“1e1”不是数字（范围0.1-25.5，未投入时可为0）"},
        {"blanks around a number", [](auto& s) { s.LockedRotorMultiple = " 4.0 "; }, ""},
        {"unbalance time 25.5", [](auto& s) { s.UnbalanceTime = "25.5"; }, ""},
        {"unbalance time 25.6", [](auto& s) { s.UnbalanceTime = "25.6"; },
         "不平衡动作时间超出范围（0.1-25.5，未投入时可为0）"},
        {"under-voltage 95", [](auto& s) { s.UnderVoltagePercent = 95; }, ""},
        {"over-voltage time 0 while ticked", [](auto& s) { s.OverVoltageTime = 0; },
         "过压动作时间超出范围（1-255，未投入时可为0）"},
        {"rated voltage 0", [](auto& s) { s.RatedVoltage = "0"; }, "额定电压超出范围（1-6553）"},
        {"rated voltage 6553", [](auto& s) { s.RatedVoltage = "6553"; }, ""},
        {"locked-rotor time 0 while ticked", [](auto& s) { s.LockedRotorTime = "0"; },
         "堵转动作时间超出范围（0.1-25.5，未投入时可为0）"},
        {"cleared boxes hold 0",
         [](auto& s) {
             s.Enabled[kLockedRotor] = s.Enabled[kOverVoltage] = s.Enabled[kPhaseLoss] = false;
             s.LockedRotorMultiple = s.LockedRotorTime = "0.0";
             s.PhaseLossTime = "0";
             s.OverVoltagePercent = s.OverVoltageTime = 0;
         },
         ""},
        {"a cleared box does not widen the range",
         [](auto& s) {
             s.Enabled[kUnbalance] = false;
             s.UnbalancePercent = "5";
         },
         "不平衡动作值超出范围（20-100，未投入时可为0）"},
        {"the four checks come first",
         [](auto& s) {
             s.UnbalancePercent = "250";
             s.BreakingCurrent = 10000;
         },
         "分断电流超出范围"},
        // Two values out of range: the first in the order of the checks is named.
        {"CT before rated current", [](auto& s) { s.CtRatio = s.RatedCurrent = "0"; },
         "CT超过范围"},
        {"rated current before start time", [](auto& s) { s.RatedCurrent = s.StartTime = "-1"; },
         "额定电流超过范围"},
    };
    for (const Row& row : rows) {
        QTest::newRow(row.Name) << row.Change << QString::fromUtf8(row.Message);
    }
}

void TestSettingsWrite::Validate() {
    QFETCH(Edit, edit);
    QFETCH(QString, message);
    ProtectionSettings s = WindowSettings();
    edit(s);
    const std::optional<std::string> result = ValidateSettings(s);
    QCOMPARE(result ? QString::fromStdString(*result) : QString(), message);
}

// Each row changes the window values and names one frame the write must send.
void TestSettingsWrite::Frames_data() {
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<Bytes>("expected");
    QTest::addColumn<bool>("silent");
    struct Row {
        const char* Name;
        Edit Change;
        Bytes Expected;
        bool Silent = false;
    };
    const Row rows[] = {
        {"all nine protections ticked", [](auto& s) { s.Enabled.fill(true); },
         WriteFrame(1, 0x545A, {0xFF, 0x01, 0x00, 0x06, 40, 5, 20, 0, 30, 50})},
        {"only short circuit ticked",
         [](auto& s) {
             s.Enabled.fill(false);
             s.Enabled[kShortCircuit] = true;
         },
         WriteFrame(1, 0x545A, {0x01, 0x00, 0x00, 0x06, 40, 5, 20, 0, 30, 50})},
        {"locked-rotor time 30.0 sends the low byte of 300",
         [](auto& s) { s.LockedRotorTime = "30.0"; },
         WriteFrame(1, 0x545A, {0xF7, 0x01, 0x00, 0x06, 40, 0x2C, 20, 0, 30, 50})},
        // Refused before a write (off their steps); the frame rounds, never truncates.
        {"tenths and whole values rounded",
         [](auto& s) {
             s.LockedRotorMultiple = "10.0";
             s.DefiniteTimeMultiple = "6.05";
             s.DefiniteTimeTime = "7.9";
             s.UnbalancePercent = "100";
             s.UnbalanceTime = "25.5";
             s.CurveSelection = "1200";
         },
         WriteFrame(1, 0x545A, {0xF7, 0x01, 0x00, 12, 100, 5, 61, 8, 100, 255})},
        {"negative breaking current sends its low 16 bits", [](auto& s) { s.BreakingCurrent = -5; },
         WriteFrame(1, 0x5462, {0xFF, 0xFB})},
        {"CT ratio 12.7 would go out as 13", [](auto& s) { s.CtRatio = "12.7"; },
         WriteFrame(1, 0x5453, {0x00, 13})},
        {"rated current 2.3 sent as 23", [](auto& s) { s.RatedCurrent = "2.3"; },
         WriteFrame(1, 0x5457, {0x01, 0x7C, 0x00, 23, 0x00, 20})},
        {"CT ratio 999 at address 247", [](auto& s) { s.CtRatio = "999"; },
         WriteFrame(247, 0x5453, {0x03, 0xE7})},
        {"phase C, phase-loss time 2.5",
         [](auto& s) {
             s.PwmPhase = "C相电流";
             s.PhaseLossTime = "2.5";
         },
         WriteFrame(1, 0x5454, {0x00, 0x02, 25, 0x02})},
        {"rated current 99.9 sent as 999", [](auto& s) { s.RatedCurrent = "99.9"; },
         WriteFrame(1, 0x5457, {0x01, 0x7C, 0x03, 0xE7, 0x00, 20})},
        {"ratings at their upper limits",
         [](auto& s) {
             s.RatedVoltage = "660";
             s.RatedCurrent = "999.9";
             s.StartTime = "255";
         },
         WriteFrame(1, 0x5457, {0x02, 0x94, 0x27, 0x0F, 0x00, 0xFF})},
        {"voltage values keep their low 8 bits",
         [](auto& s) {
             s.OverVoltagePercent = 150;
             s.OverVoltageTime = 300;
             s.UnderVoltagePercent = -1;
             s.UnderVoltageTime = 0;
         },
         WriteFrame(1, 0x5460, {150, 0x2C, 0xFF, 0})},
    };
    for (const Row& row : rows) {
        QTest::newRow(row.Name) << row.Change << row.Expected << row.Silent;
    }
}

void TestSettingsWrite::Frames() {
    QFETCH(Edit, edit);
    QFETCH(Bytes, expected);
    QFETCH(bool, silent);
    ProtectionSettings s = WindowSettings();
    edit(s);
    CDeviceRig rig(expected[0]);
    if (silent) {
        rig.Silence();
    }
    // The frame of the same group, compared whole.
    const std::vector<Bytes> sent = Write(rig, s);
    const auto group = std::find_if(sent.begin(), sent.end(), [&](const Bytes& frame) {
        return std::equal(frame.begin(), frame.begin() + 4, expected.begin());
    });
    QVERIFY(group != sent.end());
    QCOMPARE(*group, expected);
}

void TestSettingsWrite::FactoryDefaultsWrittenInOrder() {
    ProtectionSettings s = OtherSettings();
    RestoreProtectionDefaults(s);
    // The start-mode display is the device's and keeps its text.
    QCOMPARE(
        FieldList(s),
        (QStringList{"1",       "1.0",    "380",    "20",     "星三角起动", "4.0",    "0.5",
                     "2.0",     "0",      "30",     "5.0",    "125",        "0.5",    "B相电流",
                     "9999",    "120",    "5",      "80",     "5",          "ticked", "ticked",
                     "cleared", "ticked", "ticked", "ticked", "ticked",     "ticked", "ticked"}));
    QVERIFY(!ValidateSettings(s).has_value());

    CDeviceRig rig;
    std::optional<SettingsWriteResult> result;
    rig.Device.SetRegister(kStartModeReadRegister, 9 << 8 | 1);  // reversing start
    WriteSettings(rig.Ctx, s, [&](SettingsWriteResult r) { result = r; });
    QVERIFY(result && !result->OverVoltageSkipped);
    // Enable byte 0xF7 ("定时限过负荷" cleared), under-voltage 1, curve 125 as index 6; the
    // start mode the device reported goes back unchanged.
    const std::vector<Bytes> expected = {
        WriteFrame(1, 0x545A, {0xF7, 0x01, 0x00, 0x06, 40, 5, 20, 0, 30, 50}),
        WriteFrame(1, 0x5462, {0x27, 0x0F}),
        WriteFrame(1, 0x5453, {0x00, 0x01}),
        ReadFrame(1, 0x0155, 1),
        WriteFrame(1, 0x5454, {0x00, 0x01, 5, 0x01}),
        WriteFrame(1, 0x5457, {0x01, 0x7C, 0x00, 10, 0x00, 20}),
        WriteFrame(1, 0x5460, {120, 5, 80, 5}),
    };
    QCOMPARE(rig.SentFrames(), expected);
    // Each frame goes out after the waits that follow the one before it.
    std::vector<uint64_t> times;
    for (const auto& sent : rig.Port.Sent()) {
        times.push_back(sent.Time);
    }
    QCOMPARE(times, (std::vector<uint64_t>{0, 300, 600, 900, 1300, 1600, 2200}));
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
    // The other five groups and the read-back go out whatever the over-voltage value.
    const auto frames = rig.SentFrames();
    QCOMPARE(frames.size(), size_t{written ? 7u : 6u});
    QCOMPARE(frames[5][3], uint8_t{0x57});
    QCOMPARE(rig.Device.Register(0x0160), uint16_t(written ? percent << 8 | 7 : 120 << 8 | 5));
    QCOMPARE(rig.Clock.Elapsed(), uint64_t{written ? 2500u : 2200u});
}

// Every typed setting with its step and encoding: a value on its step is sent, held and read
// back as the value typed (2.3 is 23 tenths, though 2.3 × 10 falls a hair short of 23 in
// binary); a value between two steps is refused naming the step, before anything is sent.
void TestSettingsWrite::StepOfEveryField_data() {
    QTest::addColumn<TextField>("field");
    QTest::addColumn<QString>("onStep");
    QTest::addColumn<QString>("offStep");
    QTest::addColumn<QString>("refusal");
    using S = ProtectionSettings;
    struct Row {
        const char* Name;
        std::string S::*Field;
        const char* OnStep;
        const char* OffStep;
        const char* Refusal;
    };
    const Row rows[] = {
        {"CT ratio, 1", &S::CtRatio, "150", "12.7",
         "电流变比的值“12.7”不是设备可存的值：步长为1（范围1-999）"},
        {"rated current, 0.1 A", &S::RatedCurrent, "2.3", "15.05",
         "额定电流的值“15.05”不是设备可存的值：步长为0.1（范围0.1-999.9）"},
        {"rated voltage, 1 V", &S::RatedVoltage, "381", "380.5",
         "额定电压的值“380.5”不是设备可存的值：步长为1（范围1-6553）"},
        {"start time, 1 s", &S::StartTime, "13", "12.5",
         "启动时间的值“12.5”不是设备可存的值：步长为1（范围0-255）"},
        {"phase-loss time, 0.1 s", &S::PhaseLossTime, "2.3", "0.35",
         "缺相时间的值“0.35”不是设备可存的值：步长为0.1（范围0.1-25.5，未投入时可为0）"},
        {"locked-rotor multiple, 0.1", &S::LockedRotorMultiple, "2.3", "4.05",
         "堵转动作倍数的值“4.05”不是设备可存的值：步长为0.1（范围1.0-10.0，未投入时可为0）"},
        {"locked-rotor time, 0.1 s", &S::LockedRotorTime, "2.3", "0.55",
         "堵转动作时间的值“0.55”不是设备可存的值：步长为0.1（范围0.1-25.5，未投入时可为0）"},
        {"definite-time multiple, 0.1", &S::DefiniteTimeMultiple, "2.3", "2.25",
         "定时限过负荷动作倍数的值“2.25”不是设备可存的值：步长为0.1（范围1.0-6.0，未投入时可为0）"},
        {"definite-time time, 1 s", &S::DefiniteTimeTime, "7", "7.5",
         "定时限过负荷动作时间的值“7.5”不是设备可存的值：步长为1（范围1-255，未投入时可为0）"},
        {"unbalance, 1 %", &S::UnbalancePercent, "33", "33.3",
         "不平衡动作值的值“33.3”不是设备可存的值：步长为1（范围20-100，未投入时可为0）"},
        {"unbalance time, 0.1 s", &S::UnbalanceTime, "2.3", "6.01",
         "不平衡动作时间的值“6.01”不是设备可存的值：步长为0.1（范围0.1-25.5，未投入时可为0）"},
    };
    for (const Row& row : rows) {
        QTest::newRow(row.Name) << row.Field << QString::fromUtf8(row.OnStep)
                                << QString::fromUtf8(row.OffStep) << QString::fromUtf8(row.Refusal);
    }
}

void TestSettingsWrite::StepOfEveryField() {
    QFETCH(TextField, field);
    QFETCH(QString, onStep);
    QFETCH(QString, offStep);
    QFETCH(QString, refusal);
    ProtectionSettings s = WindowSettings();
    s.*field = offStep.toStdString();
    QCOMPARE(QString::fromStdString(ValidateSettings(s).value_or("accepted")), refusal);

    s.*field = onStep.toStdString();
    QCOMPARE(ValidateSettings(s), std::nullopt);
    CDeviceRig rig;
    std::optional<SettingsWriteReport> report;
    WriteAndVerifySettings(rig.Ctx, s, [&](const SettingsWriteReport& r) { report = r; });
    QVERIFY(report && SettingsWriteConfirmed(*report));
    ProtectionSettings held;
    QVERIFY(ReadSettingsBlockA(rig.Ctx, &held) && ReadSettingsBlockB(rig.Ctx, &held) &&
            ReadSettingsBlockC(rig.Ctx, &held));
    QCOMPARE(QString::number(AtoF(held.*field)), QString::number(onStep.toDouble()));
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
        s.Enabled[kDefiniteTime] = s.Enabled[kUnderVoltage] = true;
    });
}

void TestSettingsWrite::DeviceStoresWhatTheWindowHeld() {
    QFETCH(Edit, edit);
    ProtectionSettings held = WindowSettings();
    edit(held);
    QVERIFY(!ValidateSettings(held).has_value());
    CDeviceRig rig;
    Write(rig, held, 2);  // star-delta

    // Read back through the settings read into fresh fields: everything the window held,
    // and the start mode the device kept.
    ProtectionSettings read;
    QVERIFY(ReadSettingsBlockA(rig.Ctx, &read));
    QVERIFY(ReadSettingsBlockB(rig.Ctx, &read));
    ReadSettingsBlockC(rig.Ctx, &read);
    held.StartModeText = "星三角起动";
    QCOMPARE(FieldList(read), FieldList(held));
}

// Confirmed by reading the settings back: a device that drops one group silently is named
// for exactly that group's settings (every value differs from the device's), a device that
// stops answering leaves the write unconfirmed. The read-back has the settings read's
// requests and waits.
void TestSettingsWrite::VerifiedWrite_data() {
    QTest::addColumn<int>("ignoredWrite");  // 0: the device keeps every write
    QTest::addColumn<int>("answered");      // requests answered before silence, -1: all
    QTest::addColumn<QStringList>("messages");
    const QString notHeld = "设备未保存以下参数：";
    const QString unconfirmed = "设备无应答，数据写入未确认";
    QTest::newRow("device keeps everything") << 0 << -1 << QStringList{"数据写入成功..."};
    QTest::newRow("protections dropped")
        << 0x545A << -1
        << QStringList{
               notHeld +
               "短路保护、堵转保护、不平衡、定时限过负荷、反时限过负荷、启动超时、缺相保护、"
               "过压保护、欠压保护、曲线选择、堵转动作倍数、堵转动作时间、"
               "定时限过负荷动作倍数、定时限过负荷动作时间、不平衡动作值、不平衡动作时间"};
    QTest::newRow("breaking current dropped")
        << 0x5462 << -1 << QStringList{notHeld + "交流接触器允许分断电流"};
    QTest::newRow("CT ratio dropped") << 0x5453 << -1 << QStringList{notHeld + "电流变比"};
    // The start mode goes back as the device had it, so it is held all the same.
    QTest::newRow("phase and start dropped")
        << 0x5455 << -1 << QStringList{notHeld + "PWM选择输出、缺相时间"};
    QTest::newRow("ratings dropped")
        << 0x5457 << -1 << QStringList{notHeld + "额定电压、额定电流、启动时间"};
    QTest::newRow("voltage protections dropped")
        << 0x5460 << -1
        << QStringList{notHeld + "过压动作值、过压动作时间、欠压动作值、欠压动作时间"};
    // One outcome, said once: not "the rest was written" and then "not confirmed".
    QTest::newRow("silent device") << 0 << 0 << QStringList{unconfirmed};
    QTest::newRow("silent from the read-back") << 0 << 7 << QStringList{unconfirmed};
    QTest::newRow("block A answered, CT ratio dropped")
        << 0x5453 << 8 << QStringList{notHeld + "电流变比；其余参数设备无应答，写入未确认"};
}

void TestSettingsWrite::VerifiedWrite() {
    QFETCH(int, ignoredWrite);
    QFETCH(int, answered);
    QFETCH(QStringList, messages);
    CDeviceRig rig;
    if (ignoredWrite != 0) {
        rig.Device.IgnoreWritesAt(static_cast<uint16_t>(ignoredWrite));
    }
    if (answered >= 0) {
        rig.Silence(answered);
    }
    ProtectionSettings s = WindowSettings();
    s.CtRatio = "200";
    s.RatedCurrent = "99.9";
    s.RatedVoltage = "660";
    s.StartTime = "30";
    s.LockedRotorMultiple = "5.0";
    s.LockedRotorTime = "1.0";
    s.DefiniteTimeMultiple = "3.0";
    s.DefiniteTimeTime = "10";
    s.UnbalancePercent = "40";
    s.UnbalanceTime = "6.0";
    s.CurveSelection = "1000";
    s.PhaseLossTime = "1.5";
    s.PwmPhase = "C相电流";
    s.BreakingCurrent = 1234;
    s.OverVoltagePercent = 130;
    s.OverVoltageTime = 9;
    s.UnderVoltagePercent = 70;
    s.UnderVoltageTime = 3;
    s.Enabled.fill(false);
    s.Enabled[kDefiniteTime] = true;
    QVERIFY(!ValidateSettings(s).has_value());

    std::optional<SettingsWriteReport> report;
    WriteAndVerifySettings(rig.Ctx, s, [&](const SettingsWriteReport& r) { report = r; });
    QVERIFY(report.has_value());
    QStringList shown;
    for (const std::string& message : SettingsWriteMessages(*report)) {
        shown << QString::fromStdString(message);
    }
    QCOMPARE(shown, messages);

    const std::vector<Bytes> sent = rig.SentFrames();
    QVERIFY(sent.size() > 3);
    QCOMPARE(std::vector<Bytes>(sent.end() - 3, sent.end()),
             (std::vector<Bytes>{ReadFrame(1, 0x0150, 16), ReadFrame(1, 0x0154, 4),
                                 ReadFrame(1, 0x0160, 3)}));
    // The read-back's own waits, after any wait for a reply still owed.
    std::vector<uint32_t> sleeps = rig.Clock.Sleeps();
    sleeps.erase(std::remove(sleeps.begin(), sleeps.end(), CModbusTransaction::kOwedSliceMs),
                 sleeps.end());
    QCOMPARE(std::vector<uint32_t>(sleeps.end() - 5, sleeps.end()),
             (std::vector<uint32_t>{500, 300, 300, 300, 300}));
    QCOMPARE(rig.Window.Shows, 0);  // nothing read back reaches the window's fields
}

// In English the refusals and the write's outcome are whole English sentences: the names of
// the settings in them are translated too, none of the Chinese joins or brackets is left, and
// the settings themselves keep their Chinese list texts.
void TestSettingsWrite::MessagesInEnglish_data() {
    QTest::addColumn<Edit>("edit");            // the window values refused, or
    QTest::addColumn<QStringList>("notHeld");  // the settings a write found not held
    QTest::addColumn<bool>("unanswered");
    QTest::addColumn<QString>("message");
    const Edit none = [](auto&) {};
    QTest::newRow("not a number, cleared box allows 0")
        << Edit([](auto& s) { s.UnbalanceTime = "2.0s"; }) << QStringList() << false
        << "The value \"2.0s\" of Unbalance trip time is not a number (range 0.1-25.5, or 0 "
           "while the protection is off)";
    QTest::newRow("out of range") << Edit([](auto& s) { s.RatedVoltage = "0"; }) << QStringList()
                                  << false << "Rated voltage is out of range (1-6553)";
    QTest::newRow("own message of the range table")
        << Edit([](auto& s) { s.OverVoltagePercent = 200; }) << QStringList() << false
        << "Overvoltage trip value must be 105-150";
    QTest::newRow("first checks") << Edit([](auto& s) { s.CtRatio = "1000"; }) << QStringList()
                                  << false << "CT ratio out of range";
    QTest::newRow("write held") << none << QStringList() << false << "Settings written...";
    QTest::newRow("one setting not held")
        << none << QStringList{kProtectionNames[kUnbalance]} << false
        << "The device did not keep these settings: Unbalance";
    QTest::newRow("settings not held, the rest unanswered")
        << none << QStringList{kCtRatioName, kPwmPhaseName, kStartModeName} << true
        << "The device did not keep these settings: CT ratio, PWM output phase, Start mode. No "
           "reply about the other settings; their write is not confirmed";
}

void TestSettingsWrite::MessagesInEnglish() {
    QFETCH(Edit, edit);
    QFETCH(QStringList, notHeld);
    QFETCH(bool, unanswered);
    QFETCH(QString, message);
    const auto mt = [](const char* source) {
        return qMakePair(QStringLiteral("MotorProtector"), QString::fromUtf8(source));
    };
    const CTestTranslator english({
        {mt("%1的值“%2”不是数字（范围%3）"), "The value \"%2\" of %1 is not a number (range %3)"},
        {mt("%1-%2，未投入时可为0"), "%1-%2, or 0 while the protection is off"},
        {mt("%1超出范围（%2）"), "%1 is out of range (%2)"},
        {mt("不平衡动作时间"), "Unbalance trip time"},
        {mt("额定电压"), "Rated voltage"},
        {mt("请在过压动作值范围为105-150"), "Overvoltage trip value must be 105-150"},
        {mt("CT超过范围"), "CT ratio out of range"},
        {mt("数据写入成功..."), "Settings written..."},
        {mt("设备未保存以下参数：%1"), "The device did not keep these settings: %1"},
        {mt("设备未保存以下参数：%1；其余参数设备无应答，写入未确认"),
         "The device did not keep these settings: %1. No reply about the other settings; their "
         "write is not confirmed"},
        {mt("%1、%2"), "%1, %2"},
        {mt("不平衡"), "Unbalance"},
        {mt("电流变比"), "CT ratio"},
        {mt("PWM选择输出"), "PWM output phase"},
        {mt("起动方式"), "Start mode"},
        {mt("C相电流"), "Phase C current"},
    });
    // The PWM phase is compared with its list as Chinese text, whatever the language.
    ProtectionSettings s = WindowSettings();
    s.PwmPhase = "C相电流";
    edit(s);
    SettingsWriteReport report;
    for (const QString& name : notHeld) {
        report.NotHeld.push_back(name.toStdString());
    }
    report.Unanswered = unanswered;
    const std::optional<std::string> refusal = ValidateSettings(s);
    const std::string shown = refusal ? *refusal : SettingsWriteMessages(report).front();
    QCOMPARE(QString::fromStdString(shown), message);
}

QTEST_APPLESS_MAIN(TestSettingsWrite)
#include "TestSettingsWrite.moc"

// Without the device's start mode there is nothing to write back beside the phase-loss time:
// the group is left out instead of setting the device to direct start, and the rest goes on.
void TestSettingsWrite::StartModeReadBackFailureLeavesItsGroupOut() {
    CDeviceRig rig;
    rig.Device.SetRegister(kStartModeReadRegister, 9 << 8 | 2);  // star-delta
    rig.Silence();
    std::optional<SettingsWriteResult> result;
    WriteSettings(rig.Ctx, WindowSettings(), [&](SettingsWriteResult r) { result = r; });
    QVERIFY(result.has_value());
    QVERIFY(result->StartModeReadFailed);
    std::vector<int> starts;
    for (const Bytes& frame : rig.SentFrames()) {
        starts.push_back(frame[2] << 8 | frame[3]);
    }
    QCOMPARE(starts, (std::vector<int>{0x545A, 0x5462, 0x5453, 0x0155, 0x5457, 0x5460}));
    QCOMPARE(int(rig.Device.Register(kStartModeReadRegister)), 9 << 8 | 2);
}
