// Reading the protection settings: the reads against the simulated device, and the decoding
// of the register blocks where a value keeps a text or a byte goes unused.

#include <QtTest>
#include <map>

#include "settings/SettingsRead.h"
#include "support/DeviceRig.h"
#include "support/Vectors.h"

Q_DECLARE_METATYPE(mp::SimFaults)

namespace mp::test {
namespace {

using TextMember = std::string ProtectionSettings::*;

const std::map<QString, TextMember> kTextFields = {
    {"CtRatio", &ProtectionSettings::CtRatio},
    {"RatedCurrent", &ProtectionSettings::RatedCurrent},
    {"RatedVoltage", &ProtectionSettings::RatedVoltage},
    {"StartTime", &ProtectionSettings::StartTime},
    {"StartModeText", &ProtectionSettings::StartModeText},
    {"LockedRotorMultiple", &ProtectionSettings::LockedRotorMultiple},
    {"LockedRotorTime", &ProtectionSettings::LockedRotorTime},
    {"DefiniteTimeMultiple", &ProtectionSettings::DefiniteTimeMultiple},
    {"DefiniteTimeTime", &ProtectionSettings::DefiniteTimeTime},
    {"UnbalancePercent", &ProtectionSettings::UnbalancePercent},
    {"UnbalanceTime", &ProtectionSettings::UnbalanceTime},
    {"CurveSelection", &ProtectionSettings::CurveSelection},
    {"PhaseLossTime", &ProtectionSettings::PhaseLossTime},
    {"PwmPhase", &ProtectionSettings::PwmPhase},
};

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

QString EnabledText(const ProtectionSettings& s) {
    QString text;
    for (bool on : s.Enabled) {
        text += on ? '1' : '0';
    }
    return text;
}

// Every text field holds "before": what a decode leaves alone stays visible.
ProtectionSettings Prefilled() {
    ProtectionSettings s;
    for (const auto& [name, member] : kTextFields) {
        s.*member = "before";
    }
    s.BreakingCurrent = s.OverVoltagePercent = s.OverVoltageTime = -1;
    s.UnderVoltagePercent = s.UnderVoltageTime = -1;
    return s;
}

// All fields as one text, for comparing whole settings.
QString Dump(const ProtectionSettings& s) {
    QStringList parts;
    for (const auto& [name, member] : kTextFields) {
        parts << name + "=" + Q(s.*member);
    }
    for (int value : {s.OverVoltagePercent, s.OverVoltageTime, s.UnderVoltagePercent,
                      s.UnderVoltageTime, s.BreakingCurrent}) {
        parts << QString::number(value);
    }
    return parts.join(' ') + " enabled=" + EnabledText(s);
}

// A response of `length` bytes, zero but for the bytes given at `offset`.
std::vector<uint8_t> Response(int length, int offset, const QByteArray& bytes) {
    std::vector<uint8_t> frame(static_cast<size_t>(length), 0);
    frame[0] = 0x01;
    frame[1] = 0x03;
    frame[2] = static_cast<uint8_t>(length - 5);
    std::copy(bytes.begin(), bytes.end(), frame.begin() + offset);
    return frame;
}

// 0x0153 to 0x0162: CT ratio; PWM on phase C; phase loss 25.4 s, star-delta; unused; rated
// voltage, current, start time; enables; curve "1000"; locked rotor, definite time and
// unbalance, each multiple or percent and time; unused; over- and under-voltage percent and
// time; breaking current.
void SetSampleSettings(CSimulatedDevice& device) {
    const uint16_t values[] = {0xFFFF, 0x0002, 0xFE02, 0x0000, 0xFFFE, 1234,   15,     0x0A00,
                               11,     0xFF7B, 0x8DFE, 0x99FD, 0x0000, 0x7303, 0x4B09, 4000};
    for (uint16_t k = 0; k < 16; ++k) {
        device.SetRegister(static_cast<uint16_t>(0x0153 + k), values[k]);
    }
}

// The sample settings as the window holds them.
const char* const kSampleDump =
    "CtRatio=65535 CurveSelection=1000 DefiniteTimeMultiple=14.1 "
    "DefiniteTimeTime=254 LockedRotorMultiple=25.5 LockedRotorTime=12.3 "
    "PhaseLossTime=25.4 PwmPhase=C相电流 RatedCurrent=123.4 "
    "RatedVoltage=65534 StartModeText=星三角起动 StartTime=15 "
    "UnbalancePercent=153 UnbalanceTime=25.3 115 3 75 9 4000 "
    "enabled=011000000";

}  // namespace

class TestSettingsRead : public QObject {
    Q_OBJECT
private slots:
    // Frame offsets: register k of the block at 3 + 2k (high byte) and 4 + 2k (low byte).
    void fields_data() {
        QTest::addColumn<bool>("blockB");
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* name, bool blockB, int offset, const char* hex, const char* field,
                      const char* expected) {
            QTest::newRow(name) << blockB << offset << QByteArray::fromHex(hex) << QString(field)
                                << QString::fromUtf8(expected);
        };
        row("rated current 0", false, 19, "0000", "RatedCurrent", "0.0");
        row("locked-rotor time 5", false, 28, "05", "LockedRotorTime", "0.5");
        row("start mode 1", false, 14, "01", "StartModeText", "双向可逆起动");
        row("start mode 3 keeps the text", false, 14, "03", "StartModeText", "before");
        row("start mode from the low byte only", false, 13, "02", "StartModeText", "直接起动");
        row("curve 12", false, 26, "0C", "CurveSelection", "1200");
        row("curve 13 keeps the text", false, 26, "0D", "CurveSelection", "before");
        row("curve from the low byte only", false, 25, "05", "CurveSelection", "0");
        row("PWM phase 3 keeps the text", true, 4, "03", "PwmPhase", "before");
        row("PWM phase from the low byte only", true, 3, "02", "PwmPhase", "A相电流");
        row("start mode is not shown by block B", true, 6, "02", "StartModeText", "before");
        row("register 0x0156 not used", true, 7, "FFFF", "RatedVoltage", "0");
    }
    void fields() {
        QFETCH(bool, blockB);
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        ProtectionSettings s = Prefilled();
        if (blockB) {
            DecodeSettingsBlockB(s, Response(kSettingsBlockBLength, offset, bytes).data());
        } else {
            DecodeSettingsBlockA(s, Response(kSettingsBlockALength, offset, bytes).data());
        }
        QCOMPARE(Q(s.*kTextFields.at(field)), expected);
    }

    // Short circuit, locked rotor, definite time, unbalance, inverse time, start timeout,
    // phase loss, over-voltage (enable byte, frame byte 23), under-voltage (byte 24, bit 0).
    void protectionChecks_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("checks");
        QTest::newRow("bit 2 is unbalance") << QByteArray::fromHex("0400") << "000100000";
        QTest::newRow("bit 3 is definite time") << QByteArray::fromHex("0800") << "001000000";
        QTest::newRow("all but definite time") << QByteArray::fromHex("F701") << "110111111";
        QTest::newRow("under-voltage from bit 0 only")
            << QByteArray::fromHex("00FE") << "000000000";
    }
    void protectionChecks() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, checks);
        for (bool before : {false, true}) {
            ProtectionSettings s;
            s.Enabled.fill(before);
            DecodeSettingsBlockA(s, Response(kSettingsBlockALength, 23, bytes).data());
            QCOMPARE(EnabledText(s), checks);
        }
    }

    // Block A shows twice: first with the start-mode and curve texts only, then with the
    // numbers and check boxes.
    void blockAShowsTextsBeforeNumbers() {
        CDeviceRig rig;
        ProtectionSettings s = Prefilled();
        QStringList shown;
        rig.Window.OnShow = [&] {
            shown << Q(s.StartModeText) + "|" + Q(s.CurveSelection) + "|" + Q(s.CtRatio) + "|" +
                         EnabledText(s);
        };
        QVERIFY(ReadSettingsBlockA(rig.Ctx, &s));
        QCOMPARE(shown, (QStringList{QString::fromUtf8("直接起动|125|before|000000000"),
                                     QString::fromUtf8("直接起动|125|50|110111111")}));
    }

    // Settings set on the device come back as the window's texts, wherever the reply sits.
    void readFromDevice_data() {
        QTest::addColumn<int>("address");
        QTest::addColumn<QByteArray>("stray");
        QTest::addColumn<int>("pieces");
        QTest::newRow("address 1") << 1 << QByteArray() << 1;
        QTest::newRow("address 247, stray bytes like a header")
            << 247 << QByteArray::fromHex("F70320") << 1;
        QTest::newRow("reply in pieces after noise") << 12 << QByteArray::fromHex("00FF00") << 3;
    }
    void readFromDevice() {
        QFETCH(int, address);
        QFETCH(QByteArray, stray);
        QFETCH(int, pieces);
        CDeviceRig rig(static_cast<uint8_t>(address));
        SimFaults faults;
        faults.StrayBytes.assign(stray.begin(), stray.end());
        faults.SplitPieces = pieces;
        rig.Port.SetFaults(faults);
        SetSampleSettings(rig.Device);

        ProtectionSettings s = Prefilled();
        QVERIFY(ReadSettingsBlockA(rig.Ctx, &s));
        QVERIFY(ReadSettingsBlockB(rig.Ctx, &s));
        QVERIFY(ReadSettingsBlockC(rig.Ctx, &s));

        QCOMPARE(Dump(s), QString::fromUtf8(kSampleDump));
        QCOMPARE(rig.Window.Shows, 4);
        const std::vector<std::vector<uint8_t>> requests = {
            VectorFrame("request", address, "settings block A"),
            VectorFrame("request", address, "settings block B"),
            VectorFrame("request", address, "settings block C")};
        QVERIFY(rig.SentFrames() == requests);
        QCOMPARE(rig.Clock.Sleeps(), (std::vector<uint32_t>{500, 300, 300, 300}));
    }

    // The value reads give what the device holds, or nothing at all when no reply was taken:
    // no zeros, and no bytes of a reply to another request. Nothing is shown.
    void fetchGivesValuesOrNothing_data() {
        QTest::addColumn<SimFaults>("faults");
        QTest::addColumn<bool>("answered");
        QTest::newRow("reply") << SimFaults{} << true;
        QTest::newRow("silent device") << Faults({}, true) << false;
        QTest::newRow("bad CRC") << Faults({}, false, true) << false;
        QTest::newRow("a write's echo ahead")
            << Faults(WithCrc({0x01, 0x05, 0x00, 0x00, 0xFF, 0x00})) << false;
    }
    void fetchGivesValuesOrNothing() {
        QFETCH(SimFaults, faults);
        QFETCH(bool, answered);
        CDeviceRig rig;
        SetSampleSettings(rig.Device);
        rig.Port.SetFaults(faults);
        QCOMPARE(FetchSettingsBlockA(rig.Ctx).has_value(), answered);
        QCOMPARE(FetchSettingsBlockB(rig.Ctx).has_value(), answered);
        QCOMPARE(FetchSettingsBlockC(rig.Ctx).has_value(), answered);
        const std::optional<ProtectionSettings> whole = FetchProtectionSettings(rig.Ctx);
        QCOMPARE(whole.has_value(), answered);
        if (whole) {
            QCOMPARE(Dump(*whole), QString::fromUtf8(kSampleDump));
        }
        QCOMPARE(rig.Window.Shows, 0);
    }

    // Without a reply no block changes or shows anything: block C no more shows zeros in its
    // five fields than A and B do. The waits stay those of a read.
    void noReply_data() {
        QTest::addColumn<SimFaults>("faults");
        SimFaults silent;
        silent.Silent = true;
        SimFaults corrupt;
        corrupt.CorruptCrc = true;
        SimFaults late;
        late.ReplyDelayMs = 2000;
        QTest::newRow("silent device") << silent;
        QTest::newRow("bad CRC") << corrupt;
        QTest::newRow("reply after the wait") << late;
    }
    void noReply() {
        QFETCH(SimFaults, faults);
        CDeviceRig rig;
        rig.Port.SetFaults(faults);
        ProtectionSettings s = Prefilled();
        s.Enabled = {true, false, true, false, true, false, true, false, true};
        const QString before = Dump(s);

        QVERIFY(!ReadSettingsBlockA(rig.Ctx, &s));
        QVERIFY(!ReadSettingsBlockB(rig.Ctx, &s));
        QVERIFY(!ReadSettingsBlockC(rig.Ctx, &s));
        QCOMPARE(Dump(s), before);
        QCOMPARE(rig.Window.Shows, 0);
        // Each block's own waits; between them, a reply that may still come is waited for
        // (none with a bad CRC: that was the device's answer).
        std::vector<uint32_t> waits;
        for (uint32_t ms : rig.Clock.Sleeps()) {
            if (ms == 500 || ms == 300) {
                waits.push_back(ms);
            }
        }
        QCOMPARE(waits, (std::vector<uint32_t>{500, 300, 300, 300}));
        if (faults.CorruptCrc) {
            QCOMPARE(rig.Clock.Sleeps(), waits);
        }
    }
};

}  // namespace mp::test

QTEST_APPLESS_MAIN(mp::test::TestSettingsRead)
#include "TestSettingsRead.moc"
