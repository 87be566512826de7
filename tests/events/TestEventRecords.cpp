// The reads of the stored alarm events with their texts, and the event window.

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "events/EventRecordDlg.h"
#include "events/EventRecords.h"
#include "events/EventRecordsCsv.h"
#include "support/DeviceRig.h"
#include "support/ScriptedDialogs.h"
#include "support/TestTranslator.h"
#include "support/Vectors.h"
#include "support/Widgets.h"

Q_DECLARE_METATYPE(mp::SimFaults)

using namespace mp;
using namespace mp::test;
using Bytes = std::vector<uint8_t>;

class TestEventRecords : public QObject {
    Q_OBJECT
private slots:
    void Read_data();
    void Read();
    void WindowShowsTextsReadOnly();
    void ExportSavesCsv();
    void FollowsLanguage();
};

void TestEventRecords::Read_data() {
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("count");            // high byte of the count register
    QTest::addColumn<int>("answered");         // requests the device answers, -1 for all
    QTest::addColumn<QString>("codeRequest");  // "" when only the count is read
    QTest::addColumn<QString>("summary");      // "-": nothing to show, the device did not answer
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<SimFaults>("faults");
    const QString e1 = "C1接触器吸合失败(E01)", e5 = "短路故障(E05)", e17 = "欠压(E17)",
                  e9 = "定时限过载保护(E09)", e14 = "EEPROM 出错(E14)", e3 = "接触器未断开(E03)";
    const QStringList none(8, QString());
    QTest::newRow("none") << 1 << 0 << -1 << ""
                          << "无告警信息" << none << SimFaults{};
    QTest::newRow("one") << 1 << 1 << -1 << "event codes 1-2"
                         << "有1条告警信息" << QStringList{e1, "", "", "", "", "", "", ""}
                         << SimFaults{};
    // Code 12 counts as an event but has no text; so has 15.
    QTest::newRow("three") << 1 << 3 << -1 << "event codes 1-4"
                           << "有3条告警信息" << QStringList{e1, e5, "", "", "", "", "", ""}
                           << SimFaults{};
    QTest::newRow("five at 5") << 5 << 5 << -1 << "event codes 1-6"
                               << "有5条告警信息" << QStringList{e1, e5, "", e17, "", "", "", ""}
                               << SimFaults{};
    QTest::newRow("eight at 247") << 247 << 8 << -1 << "event codes 1-8"
                                  << "有8条告警信息"
                                  << QStringList{e1, e5, "", e17, "", e9, e14, e3} << SimFaults{};
    QTest::newRow("nine") << 1 << 9 << -1 << ""
                          << "" << none << SimFaults{};
    // A device that said nothing has no "无告警信息" and no empty events: nothing is shown.
    QTest::newRow("count not answered") << 1 << 4 << 0 << ""
                                        << "-" << none << SimFaults{};
    QTest::newRow("codes not answered") << 1 << 4 << 1 << "event codes 1-4"
                                        << "-" << none << SimFaults{};
    // A reply that is not taken is no reply: neither "无告警信息" nor zeros as codes.
    QTest::newRow("count with a bad CRC") << 1 << 4 << -1 << ""
                                          << "-" << none << Faults({}, false, true);
    QTest::newRow("count behind a write's echo")
        << 1 << 4 << -1 << ""
        << "-" << none << Faults(WithCrc({0x01, 0x05, 0x00, 0x00, 0xFF, 0x00}));
}

void TestEventRecords::Read() {
    QFETCH(int, address);
    QFETCH(int, count);
    QFETCH(int, answered);
    QFETCH(QString, codeRequest);
    QFETCH(QString, summary);
    QFETCH(QStringList, events);
    QFETCH(SimFaults, faults);
    const uint8_t codes[8] = {1, 5, 12, 17, 15, 9, 14, 3};
    const auto prepare = [&](CDeviceRig& rig) {
        // The count's low byte has no part in it.
        rig.Device.SetRegister(0x0124, static_cast<uint16_t>(count << 8 | 0xFF));
        for (int r = 0; r < 4; ++r) {
            rig.Device.SetRegister(static_cast<uint16_t>(0x0120 + r),
                                   static_cast<uint16_t>(codes[2 * r] << 8 | codes[2 * r + 1]));
        }
        rig.Port.SetFaults(faults);
        if (answered >= 0) {
            rig.Silence(answered);
        }
    };
    CDeviceRig rig(static_cast<uint8_t>(address));
    prepare(rig);
    // The value read, from a device in the same state.
    CDeviceRig valueRig(static_cast<uint8_t>(address));
    prepare(valueRig);
    const std::optional<EventRecordTexts> value = FetchEventRecords(valueRig.Ctx);

    int calls = 0;
    std::optional<EventRecordTexts> shown;
    ReadEventRecords(rig.Ctx, [&](std::optional<EventRecordTexts> texts) {
        ++calls;
        shown = std::move(texts);
    });
    QCOMPARE(calls, 1);
    // The value read sends the same and gives what the window is given.
    QCOMPARE(valueRig.SentFrames(), rig.SentFrames());
    QCOMPARE(value.has_value(), shown.has_value());
    if (value) {
        QCOMPARE(value->Summary, shown->Summary);
        QCOMPARE(value->Events, shown->Events);
        QCOMPARE(value->Codes, shown->Codes);
        QCOMPARE(value->Count, shown->Count);
    }
    std::vector<Bytes> expected{VectorFrame("request", address, "event count")};
    if (!codeRequest.isEmpty()) {
        expected.push_back(VectorFrame("request", address, codeRequest));
    }
    QCOMPARE(rig.SentFrames(), expected);
    if (summary == "-") {
        QVERIFY(!shown.has_value());
        return;
    }
    QVERIFY(shown.has_value());
    QCOMPARE(QString::fromStdString(shown->Summary), summary);
    QStringList texts;
    for (const std::string& text : shown->Events) {
        texts << QString::fromStdString(text);
    }
    QCOMPARE(texts, events);
    const int listed = answered == 0 || count > 8 ? 0 : count;
    QCOMPARE(shown->Count, listed);
    QCOMPARE(shown->Address, address);
    QVERIFY(shown->ReadAtMs > 0);
    for (int k = 0; k < listed; ++k) {
        QCOMPARE(shown->Codes[k], codeRequest.isEmpty() || answered == 1 ? 0 : int{codes[k]});
    }
}

// Every field read-only, named, and in the edit colours whatever the desktop's palette; OK
// closes the window.
void TestEventRecords::WindowShowsTextsReadOnly() {
    QPalette desktop = QApplication::palette();
    desktop.setColor(QPalette::Text, Qt::red);
    desktop.setColor(QPalette::Base, Qt::blue);
    QApplication::setPalette(desktop);
    EventRecordTexts texts;
    texts.Summary = "有2条告警信息";
    texts.Events[0] = "短路故障(E05)";
    texts.Events[1] = "堵转故障(E06)";
    CScriptedDialogs dialogs;
    CEventRecordDlg dlg(texts, dialogs);
    dlg.show();
    QCOMPARE(AccessibilityProblems(dlg), QStringList());
    QStringList shown;
    for (const QString& name :
         {QStringLiteral("summaryEdit"), QStringLiteral("eventEdit1"), QStringLiteral("eventEdit2"),
          QStringLiteral("eventEdit3"), QStringLiteral("eventEdit8")}) {
        auto* field = Child<QLineEdit>(dlg, name);
        QVERIFY2(field->isReadOnly(), qPrintable(name));
        QTest::keyClicks(field, "x");
        shown << field->text();
        // Black on RGB(180, 220, 0), as the style sheet paints it.
        const QImage image = field->grab().toImage();
        QCOMPARE(QColor(image.pixel(image.width() / 2, 2)), QColor(180, 220, 0));
        QCOMPARE(field->palette().color(QPalette::Text), QColor(Qt::black));
    }
    QCOMPARE(shown, (QStringList{"有2条告警信息", "短路故障(E05)", "堵转故障(E06)", "", ""}));
    QTest::mouseClick(Child<QPushButton>(dlg, "okButton"), Qt::LeftButton);
    QVERIFY(!dlg.isVisible());
}

// "导出..." writes the time of reading, the address and one row per event (number, code,
// text); a text with a separator or a quote stays one field.
void TestEventRecords::ExportSavesCsv() {
    CDeviceRig rig(5);
    std::optional<EventRecordTexts> read;
    ReadEventRecords(rig.Ctx,
                     [&](std::optional<EventRecordTexts> texts) { read = std::move(texts); });
    QVERIFY(read.has_value());
    read->Events[1] = "堵转, \"二次\"";
    const QString when =
        QDateTime::fromMSecsSinceEpoch(read->ReadAtMs).toString("yyyy-MM-dd HH:mm:ss");
    const QByteArray expected =
        "\xEF\xBB\xBF" +
        QStringLiteral(
            "读取时间,%1\r\n设备地址,5\r\n告警条数,有3条告警信息\r\n序号,代码,内容\r\n"
            "1,5,短路故障(E05)\r\n2,6,\"堵转, \"\"二次\"\"\"\r\n3,16,过压(E16)\r\n")
            .arg(when)
            .toUtf8();
    QCOMPARE(EventRecordsCsv(*read), expected);

    QTemporaryDir dir;
    CScriptedDialogs dialogs;
    dialogs.SaveAnswer = dir.filePath("events.csv");
    CEventRecordDlg dlg(*read, dialogs);
    QTest::mouseClick(Child<QPushButton>(dlg, "exportButton"), Qt::LeftButton);
    QVERIFY(dialogs.SaveSuggested.startsWith(QStringLiteral("事件记录-地址5-")));
    QFile file(dialogs.SaveAnswer);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), expected);
    QVERIFY(dialogs.Messages.isEmpty());
    // A file that cannot be written is said through the dialog service, naming the file.
    dialogs.SaveAnswer = dir.filePath("missing/events.csv");
    QTest::mouseClick(Child<QPushButton>(dlg, "exportButton"), Qt::LeftButton);
    QCOMPARE(dialogs.Messages.size(), 1);
    QVERIFY(dialogs.Messages.first().contains(dialogs.SaveAnswer));
    // Cancelled, nothing is written and nothing said.
    dialogs.SaveAnswer.clear();
    QTest::mouseClick(Child<QPushButton>(dlg, "exportButton"), Qt::LeftButton);
    QCOMPARE(dialogs.SaveAsked, 3);
    QCOMPARE(dialogs.Messages.size(), 1);
}

// Switched to English while open, the window shows the events in English and exports them in
// English, while the texts read stay the device's Chinese ones (the report and the window's
// data keep them); switched back, it shows Chinese again.
void TestEventRecords::FollowsLanguage() {
    CDeviceRig rig(5);
    std::optional<EventRecordTexts> read;
    ReadEventRecords(rig.Ctx,
                     [&](std::optional<EventRecordTexts> texts) { read = std::move(texts); });
    QVERIFY(read.has_value());
    QTemporaryDir dir;
    const QString chosen = dir.filePath("events.csv");
    CScriptedDialogs dialogs;
    dialogs.SaveAnswer = chosen;
    CEventRecordDlg dlg(*read, dialogs);
    dlg.show();
    const auto shown = [&dlg] {
        QStringList texts;
        for (const char* name :
             {"summaryEdit", "eventEdit1", "eventEdit2", "eventEdit3", "eventEdit4"}) {
            texts << Child<QLineEdit>(dlg, name)->text();
        }
        return texts;
    };
    const QStringList chinese{"有3条告警信息", "短路故障(E05)", "堵转故障(E06)", "过压(E16)", ""};
    QCOMPARE(shown(), chinese);
    {
        const auto mt = [](const char* source) {
            return qMakePair(QStringLiteral("MotorProtector"), QString::fromUtf8(source));
        };
        const auto csv = [](const char* source) {
            return qMakePair(QStringLiteral("EventRecordsCsv"), QString::fromUtf8(source));
        };
        const CTestTranslator english({
            {mt("有%1条告警信息"), "%1 alarm(s)"},
            {mt("短路故障(E05)"), "Short circuit fault (E05)"},
            {mt("堵转故障(E06)"), "Locked rotor fault (E06)"},
            {mt("过压(E16)"), "Overvoltage (E16)"},
            {csv("读取时间"), "Read at"},
            {csv("设备地址"), "Device address"},
            {csv("告警条数"), "Alarms"},
            {csv("序号"), "No."},
            {csv("代码"), "Code"},
            {csv("内容"), "Event"},
            {qMakePair(QStringLiteral("mp::CEventRecordDlg"),
                       QStringLiteral("事件记录-地址%1-%2.csv")),
             "alarm-events-address%1-%2.csv"},
        });
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
        QCOMPARE(shown(), (QStringList{"3 alarm(s)", "Short circuit fault (E05)",
                                       "Locked rotor fault (E06)", "Overvoltage (E16)", ""}));
        QTest::mouseClick(Child<QPushButton>(dlg, "exportButton"), Qt::LeftButton);
        QVERIFY(dialogs.SaveSuggested.startsWith(QStringLiteral("alarm-events-address5-")));
        QFile file(chosen);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString when =
            QDateTime::fromMSecsSinceEpoch(read->ReadAtMs).toString("yyyy-MM-dd HH:mm:ss");
        QCOMPARE(file.readAll(),
                 "\xEF\xBB\xBF" + QStringLiteral("Read at,%1\r\nDevice address,5\r\nAlarms,3 "
                                                 "alarm(s)\r\nNo.,Code,Event\r\n1,5,Short circuit "
                                                 "fault (E05)\r\n2,6,Locked rotor fault (E06)\r\n"
                                                 "3,16,Overvoltage (E16)\r\n")
                                      .arg(when)
                                      .toUtf8());
        // Read in English, the texts are still the device's Chinese ones.
        std::optional<EventRecordTexts> again;
        ReadEventRecords(rig.Ctx, [&](std::optional<EventRecordTexts> t) { again = std::move(t); });
        QVERIFY(again.has_value());
        QCOMPARE(again->Summary, std::string("有3条告警信息"));
        QCOMPARE(again->Events[0], std::string("短路故障(E05)"));
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LanguageChange);
    QCOMPARE(shown(), chinese);
    QCOMPARE(dialogs.Messages, QStringList());
}

QTEST_MAIN(TestEventRecords)
#include "TestEventRecords.moc"
