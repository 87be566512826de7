// Reading the protection settings: decoding of the three register blocks, and the reads
// against the simulated device.

#include <QtTest>
#include <map>

#include "SimulatedLink.h"
#include "settings/SettingsLists.h"
#include "settings/SettingsRead.h"
#include "support/Vectors.h"

namespace mp::test {
namespace {

using TextMember = std::string ProtectionSettings::*;

const std::map<QString, TextMember>& TextFields() {
    static const std::map<QString, TextMember> fields = {
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
    return fields;
}

// Every text field holds "before": what a decode leaves alone stays visible.
ProtectionSettings Prefilled() {
    ProtectionSettings s;
    for (const auto& [name, member] : TextFields()) {
        s.*member = "before";
    }
    s.BreakingCurrent = s.OverVoltagePercent = s.OverVoltageTime = -1;
    s.UnderVoltagePercent = s.UnderVoltageTime = -1;
    return s;
}

// All fields as one text, for comparing whole settings.
QString Dump(const ProtectionSettings& s) {
    QStringList parts;
    for (const auto& [name, member] : TextFields()) {
        parts << name + "=" + Q(s.*member);
    }
    parts << QString("ints=%1,%2,%3,%4,%5")
                 .arg(s.OverVoltagePercent)
                 .arg(s.OverVoltageTime)
                 .arg(s.UnderVoltagePercent)
                 .arg(s.UnderVoltageTime)
                 .arg(s.BreakingCurrent);
    QString enabled;
    for (bool on : s.Enabled) {
        enabled += on ? '1' : '0';
    }
    return parts.join(' ') + " enabled=" + enabled;
}

QString EnabledText(const ProtectionSettings& s) {
    QString text;
    for (bool on : s.Enabled) {
        text += on ? '1' : '0';
    }
    return text;
}

template <size_t N>
std::array<uint8_t, N> Frame(int offset, const QByteArray& bytes) {
    std::array<uint8_t, N> frame{};
    frame[0] = 0x01;
    frame[1] = 0x03;
    frame[2] = static_cast<uint8_t>(N - 5);
    for (int k = 0; k < bytes.size(); ++k) {
        frame[static_cast<size_t>(offset + k)] = static_cast<uint8_t>(bytes[k]);
    }
    return frame;
}

void AddFieldColumns() {
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");
}

}  // namespace

class TestSettingsRead : public QObject {
    Q_OBJECT
private slots:
    void blockAField_data() {
        AddFieldColumns();
        auto row = [](const char* name, int offset, const char* hex, const char* field,
                      const char* expected) {
            QTest::newRow(name) << offset << QByteArray::fromHex(hex) << QString(field)
                                << QString::fromUtf8(expected);
        };
        row("CT ratio 0x0064", 9, "0064", "CtRatio", "100");
        row("CT ratio 65535", 9, "FFFF", "CtRatio", "65535");
        row("rated current 999", 19, "03E7", "RatedCurrent", "99.9");
        row("rated current 0", 19, "0000", "RatedCurrent", "0.0");
        row("start time 300", 21, "012C", "StartTime", "300");
        row("locked-rotor multiple 0xFF", 27, "FF", "LockedRotorMultiple", "25.5");
        row("locked-rotor time 5", 28, "05", "LockedRotorTime", "0.5");
        row("definite-time multiple 0xFF", 29, "FF", "DefiniteTimeMultiple", "25.5");
        row("definite-time time 0xFF", 30, "FF", "DefiniteTimeTime", "255");
        row("unbalance percent 0xFF", 31, "FF", "UnbalancePercent", "255");
        row("unbalance time 0xFF", 32, "FF", "UnbalanceTime", "25.5");
        row("start mode 1", 14, "01", "StartModeText", "双向可逆起动");
        row("start mode 2", 14, "02", "StartModeText", "星三角起动");
        row("start mode 3 keeps the text", 14, "03", "StartModeText", "before");
        row("start mode 0xFF keeps the text", 14, "FF", "StartModeText", "before");
        row("start mode from the low byte only", 13, "02", "StartModeText", "直接起动");
        row("curve 12", 26, "0C", "CurveSelection", "1200");
        row("curve 13 keeps the text", 26, "0D", "CurveSelection", "before");
        row("curve from the low byte only", 25, "05", "CurveSelection", "0");
    }
    void blockAField() {
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        ProtectionSettings s = Prefilled();
        DecodeSettingsBlockA(s, Frame<kSettingsBlockALength>(offset, bytes).data());
        QCOMPARE(Q(s.*TextFields().at(field)), expected);
    }

    // Bytes of registers the block does not decode change nothing.
    void blockAUnusedBytes() {
        ProtectionSettings plain = Prefilled();
        DecodeSettingsBlockA(plain, Frame<kSettingsBlockALength>(0, {}).data());
        auto noisy = Frame<kSettingsBlockALength>(0, {});
        for (int k : {3, 4, 5, 6, 7, 8, 11, 12, 13, 15, 16, 17, 18, 25, 33, 34, 35, 36}) {
            noisy[static_cast<size_t>(k)] = 0xFF;
        }
        ProtectionSettings s = Prefilled();
        DecodeSettingsBlockA(s, noisy.data());
        QCOMPARE(Dump(s), Dump(plain));
        // Block A leaves the fields of blocks B and C alone.
        QCOMPARE(Q(s.PwmPhase), QString("before"));
        QCOMPARE(Q(s.PhaseLossTime), QString("before"));
        QCOMPARE(Q(s.RatedVoltage), QString("before"));
        QCOMPARE(s.BreakingCurrent, -1);
    }

    void protectionChecks_data() {
        QTest::addColumn<int>("enableByte");
        QTest::addColumn<int>("underVoltageByte");
        // Short circuit, locked rotor, definite time, unbalance, inverse time, start timeout,
        // phase loss, over-voltage, under-voltage.
        QTest::addColumn<QString>("checks");
        QTest::newRow("short circuit") << 0x01 << 0x00 << "100000000";
        QTest::newRow("bit 2 is unbalance") << 0x04 << 0x00 << "000100000";
        QTest::newRow("bit 3 is definite time") << 0x08 << 0x00 << "001000000";
        QTest::newRow("over-voltage") << 0x80 << 0x00 << "000000010";
        QTest::newRow("all but definite time") << 0xF7 << 0x01 << "110111111";
        QTest::newRow("under-voltage from bit 0 only") << 0x00 << 0xFE << "000000000";
        QTest::newRow("all") << 0xFF << 0xFF << "111111111";
    }
    void protectionChecks() {
        QFETCH(int, enableByte);
        QFETCH(int, underVoltageByte);
        QFETCH(QString, checks);
        QByteArray bytes;
        bytes.append(static_cast<char>(enableByte));
        bytes.append(static_cast<char>(underVoltageByte));
        const auto frame = Frame<kSettingsBlockALength>(23, bytes);
        for (bool before : {false, true}) {
            ProtectionSettings s;
            s.Enabled.fill(before);
            DecodeSettingsBlockA(s, frame.data());
            QCOMPARE(EnabledText(s), checks);
        }
    }

    void blockBField_data() {
        AddFieldColumns();
        auto row = [](const char* name, int offset, const char* hex, const char* field,
                      const char* expected) {
            QTest::newRow(name) << offset << QByteArray::fromHex(hex) << QString(field)
                                << QString::fromUtf8(expected);
        };
        row("PWM phase 2", 4, "02", "PwmPhase", "C相电流");
        row("PWM phase 3 keeps the text", 4, "03", "PwmPhase", "before");
        row("PWM phase from the low byte only", 3, "02", "PwmPhase", "A相电流");
        row("phase-loss time 0xFF", 5, "FF", "PhaseLossTime", "25.5");
        row("phase-loss time 5", 5, "05", "PhaseLossTime", "0.5");
        row("rated voltage 380", 9, "017C", "RatedVoltage", "380");
        row("rated voltage 65535", 9, "FFFF", "RatedVoltage", "65535");
        row("start mode is not shown by block B", 6, "02", "StartModeText", "before");
        row("register 0x0156 not used", 7, "FFFF", "RatedVoltage", "0");
    }
    void blockBField() {
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, field);
        QFETCH(QString, expected);
        ProtectionSettings s = Prefilled();
        DecodeSettingsBlockB(s, Frame<kSettingsBlockBLength>(offset, bytes).data());
        QCOMPARE(Q(s.*TextFields().at(field)), expected);
    }

    // Block A shows twice: first with the start-mode and curve texts only, then with the
    // numbers and check boxes.
    void blockAShowsTextsBeforeNumbers() {
        CSimulatedLink rig;
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
        QTest::newRow("address 1") << 1 << QByteArray();
        QTest::newRow("address 247") << 247 << QByteArray();
        QTest::newRow("two stray bytes") << 1 << QByteArray::fromHex("AA55");
        QTest::newRow("stray bytes like a header") << 5 << QByteArray::fromHex("050320");
        QTest::newRow("reply in pieces after noise") << 12 << QByteArray::fromHex("00FF00");
    }
    void readFromDevice() {
        QFETCH(int, address);
        QFETCH(QByteArray, stray);
        CSimulatedLink rig(static_cast<uint8_t>(address));
        SimFaults faults;
        faults.StrayBytes.assign(stray.begin(), stray.end());
        faults.SplitPieces = stray.size() == 3 ? 3 : 1;
        rig.SetFaults(faults);
        CSimulatedDevice& d = rig.Device;
        d.SetRegister(0x0153, 150);
        d.SetRegister(0x0154, 2);            // PWM on phase C
        d.SetRegister(0x0155, 12 << 8 | 2);  // phase loss 1.2 s, star-delta
        d.SetRegister(0x0157, 660);
        d.SetRegister(0x0158, 1234);
        d.SetRegister(0x0159, 15);
        d.SetRegister(0x015A, 0x0A << 8 | 0);
        d.SetRegister(0x015B, 11);  // curve "1000"
        d.SetRegister(0x015C, 65 << 8 | 123);
        d.SetRegister(0x015D, 13 << 8 | 60);
        d.SetRegister(0x015E, 25 << 8 | 255);
        d.SetRegister(0x0160, 115 << 8 | 3);
        d.SetRegister(0x0161, 75 << 8 | 9);
        d.SetRegister(0x0162, 4000);

        ProtectionSettings s = Prefilled();
        QVERIFY(ReadSettingsBlockA(rig.Ctx, &s));
        QVERIFY(ReadSettingsBlockB(rig.Ctx, &s));
        ReadSettingsBlockC(rig.Ctx, &s);

        QCOMPARE(Q(s.CtRatio), QString("150"));
        QCOMPARE(Q(s.StartModeText), QString::fromUtf8("星三角起动"));
        QCOMPARE(Q(s.RatedCurrent), QString("123.4"));
        QCOMPARE(Q(s.StartTime), QString("15"));
        QCOMPARE(Q(s.CurveSelection), QString("1000"));
        QCOMPARE(Q(s.LockedRotorMultiple), QString("6.5"));
        QCOMPARE(Q(s.LockedRotorTime), QString("12.3"));
        QCOMPARE(Q(s.DefiniteTimeMultiple), QString("1.3"));
        QCOMPARE(Q(s.DefiniteTimeTime), QString("60"));
        QCOMPARE(Q(s.UnbalancePercent), QString("25"));
        QCOMPARE(Q(s.UnbalanceTime), QString("25.5"));
        QCOMPARE(EnabledText(s), QString("011000000"));
        QCOMPARE(Q(s.PwmPhase), QString::fromUtf8("C相电流"));
        QCOMPARE(Q(s.PhaseLossTime), QString("1.2"));
        QCOMPARE(Q(s.RatedVoltage), QString("660"));
        QCOMPARE(s.OverVoltagePercent, 115);
        QCOMPARE(s.OverVoltageTime, 3);
        QCOMPARE(s.UnderVoltagePercent, 75);
        QCOMPARE(s.UnderVoltageTime, 9);
        QCOMPARE(s.BreakingCurrent, 4000);
        QCOMPARE(rig.Window.Shows, 4);

        const std::vector<std::vector<uint8_t>> expected = {
            VectorFrame("request", address, "settings block A"),
            VectorFrame("request", address, "settings block B"),
            VectorFrame("request", address, "settings block C")};
        QVERIFY(rig.SentFrames() == expected);
        QCOMPARE(rig.Clock.Sleeps(), (std::vector<uint32_t>{500, 300, 300, 300}));
    }

    // Without a reply, blocks A and B leave everything as it was and show nothing; block C
    // shows zeros in its five fields.
    void noReply_data() {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<bool>("corruptCrc");
        QTest::addColumn<int>("delayMs");
        QTest::newRow("silent device") << true << false << 0;
        QTest::newRow("bad CRC") << false << true << 0;
        QTest::newRow("reply after the wait") << false << false << 2000;
    }
    void noReply() {
        QFETCH(bool, silent);
        QFETCH(bool, corruptCrc);
        QFETCH(int, delayMs);
        CSimulatedLink rig;
        SimFaults faults;
        faults.Silent = silent;
        faults.CorruptCrc = corruptCrc;
        faults.ReplyDelayMs = static_cast<uint32_t>(delayMs);
        rig.SetFaults(faults);
        ProtectionSettings s = Prefilled();
        s.Enabled = {true, false, true, false, true, false, true, false, true};
        const QString before = Dump(s);

        QVERIFY(!ReadSettingsBlockA(rig.Ctx, &s));
        QVERIFY(!ReadSettingsBlockB(rig.Ctx, &s));
        QCOMPARE(Dump(s), before);
        QCOMPARE(rig.Window.Shows, 0);

        ReadSettingsBlockC(rig.Ctx, &s);
        QCOMPARE(rig.Window.Shows, 1);
        QCOMPARE(s.OverVoltagePercent, 0);
        QCOMPARE(s.OverVoltageTime, 0);
        QCOMPARE(s.UnderVoltagePercent, 0);
        QCOMPARE(s.UnderVoltageTime, 0);
        QCOMPARE(s.BreakingCurrent, 0);
        QCOMPARE(Q(s.CtRatio), QString("before"));
        QCOMPARE(rig.Clock.Sleeps(), (std::vector<uint32_t>{500, 300, 300, 300}));
    }
};

}  // namespace mp::test

QTEST_APPLESS_MAIN(mp::test::TestSettingsRead)
#include "TestSettingsRead.moc"
