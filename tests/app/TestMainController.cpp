// The main window end to end: real widgets, the handlers, the I/O worker on its thread, the
// simulated device on a virtual clock. Message boxes and dialogs are answered by a script.

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "app/IndicatorLamp.h"
#include "app/MainController.h"
#include "app/MotorProtectorDlg.h"
#include "audit/AuditLog.h"
#include "audit/AuditView.h"
#include "line/IoWorker.h"
#include "maintenance/Calibration.h"
#include "simulator/SimulatedPort.h"
#include "simulator/VirtualClock.h"
#include "support/DeviceRig.h"
#include "support/ScriptedDialogs.h"
#include "support/Vectors.h"
#include "support/WindowRig.h"
#include "support/WrongValues.h"

using namespace mp;

Q_DECLARE_METATYPE(mp::Lamp)
Q_DECLARE_METATYPE(mp::SimFaults)

namespace {

// The shared window rig, with what these tests add to it.
struct Tool : test::CWindowRig {
    using CWindowRig::CWindowRig;

    void Settle() {
        if (!Drain()) {
            qFatal("the worker did not come round");
        }
    }
    void Unlock() {
        Dialogs.PasswordAnswer = QStringLiteral("QK4810");
        Click("maintenancePasswordButton");
    }
    bool Stale(const char* name) { return Find<QLineEdit>(name)->property("stale").toBool(); }
    // The menu item "重新连接..." as the menu shows it.
    bool ReconnectOffered() {
        emit Find<QMenu>("basicMenu")->aboutToShow();
        return Find<QAction>("actionReconnect")->isEnabled();
    }
};

}  // namespace

class TestMainController : public QObject {
    Q_OBJECT

private slots:
    void startUpShowsFactoryValuesAndSendsNothing() {
        Tool tool;
        QTRY_VERIFY(tool.Controller->PortOpen());
        // Nothing was measured yet: no value, not a zero.
        QCOMPARE(tool.Text("currentAEdit"), QString());
        QCOMPARE(tool.Text("currentCEdit"), QString());
        QCOMPARE(tool.Text("voltageBEdit"), QString());
        QCOMPARE(tool.Text("startModeDisplay"), QStringLiteral("直接起动"));
        QCOMPARE(tool.Find<QComboBox>("startModeCombo")->currentText(), QStringLiteral("直接起动"));
        QCOMPARE(tool.Text("ctRatioEdit"), QStringLiteral("1"));
        QCOMPARE(tool.Text("definiteTimeTimeEdit"), QStringLiteral("0"));
        QCOMPARE(tool.Text("breakingCurrentEdit"), QStringLiteral("9999"));
        QVERIFY(tool.Status().contains(QStringLiteral("Zantor 公司网址")));
        QCOMPARE(tool.Window.LineText(), QStringLiteral("COM3  9600 波特 无校验  地址 1"));
        for (const char* name : {"usageNotesButton", "resetCurrentCoefButton", "readCoefButton",
                                 "calibrateCurrentButton", "pwmOutputButton",
                                 "calibrateVoltageButton", "resetVoltageCoefButton"}) {
            QVERIFY2(!tool.Find<QPushButton>(name)->isEnabled(), name);
        }
        QVERIFY(tool.Find<QPushButton>("maintenancePasswordButton")->isEnabled());
        QVERIFY(tool.Find<QLineEdit>("startModeDisplay")->isEnabled());
        QVERIFY(tool.Find<QPushButton>("readRealtimeButton")->isEnabled());
        QCOMPARE(tool.Port.OpenCount(), 1);
        QCOMPARE(tool.Port.Settings().BaudRate, 9600);
        QVERIFY(tool.TakeSent().empty());
    }

    void restoringDefaultsSendsNothing() {
        Tool tool;
        QTRY_VERIFY(tool.Controller->PortOpen());
        tool.Find<QLineEdit>("ctRatioEdit")->setText(QStringLiteral("77"));
        tool.Find<QLineEdit>("lockedRotorTimeEdit")->setText(QStringLiteral("9.9"));
        tool.Trigger("actionRestoreDefaults");
        QCOMPARE(tool.Text("ctRatioEdit"), QStringLiteral("1"));
        QCOMPARE(tool.Text("lockedRotorTimeEdit"), QStringLiteral("0.5"));
        tool.Click("restoreDefaultsButton");
        QVERIFY(tool.TakeSent().empty());
    }

    void readingShowsTheDeviceAndLocksTheControls() {
        Tool tool;
        QTRY_VERIFY(tool.Controller->PortOpen());
        tool.Click("readRealtimeButton");
        QTRY_VERIFY(tool.Status().contains(QStringLiteral("读实时数据...")));
        QVERIFY(!tool.Status().contains(QStringLiteral("读参数不成功")));
        QCOMPARE(tool.Text("ctRatioEdit"), QStringLiteral("50"));
        QCOMPARE(tool.Text("ratedCurrentEdit"), QStringLiteral("15.0"));
        QTRY_COMPARE(tool.Text("currentAEdit"), QStringLiteral("15.100"));  // 302 x 50 x 0.001
        QCOMPARE(tool.Text("voltageAEdit"), QStringLiteral("380.00"));
        QTRY_COMPARE(tool.Text("currentAddressEdit"), QStringLiteral("1"));
        QVERIFY(tool.Text("acquisitionTimeEdit").toInt() >= 800);
        for (const char* name : {"readRealtimeButton", "writeSettingsButton", "commSettingsButton",
                                 "setStartModeButton"}) {
            QVERIFY2(!tool.Find<QPushButton>(name)->isEnabled(), name);
        }
        QVERIFY(!tool.Find<QComboBox>("startModeCombo")->isEnabled());
        QVERIFY(tool.Find<QLineEdit>("startModeDisplay")->isEnabled());

        tool.Click("stopRunButton");
        QCOMPARE(tool.Status(), QStringLiteral("停止运行..."));
        QVERIFY(tool.Find<QPushButton>("readRealtimeButton")->isEnabled());
        QVERIFY(!tool.Find<QLineEdit>("startModeDisplay")->isEnabled());
        QVERIFY(!tool.Controller->Worker().IsPolling());
    }

    void failedSettingsReadStaysVisible() {
        Tool tool;
        QTRY_VERIFY(tool.Controller->PortOpen());
        SimFaults silent;
        silent.Silent = true;
        tool.Port.SetFaults(silent);
        tool.Trigger("actionReadRealtimeData");
        QTRY_VERIFY(tool.Status().contains(QStringLiteral("读参数不成功")));
        QVERIFY(tool.Dialogs.Messages.isEmpty());
        QCOMPARE(tool.Text("ctRatioEdit"), QStringLiteral("1"));  // nothing decoded
        tool.Trigger("actionStopRun");
    }

    // A poll tick shows every field, but what the operator types stays until it is written or
    // replaced (it went back to the device's value within a tick, while the field looked
    // editable and the write was allowed), and the write sends exactly what is shown.
    void valueTypedWhilePollingStays() {
        Tool tool;
        QTRY_VERIFY(tool.Controller->PortOpen());
        tool.Click("readRealtimeButton");
        QTRY_VERIFY(tool.Status().contains(QStringLiteral("读实时数据...")));
        QLineEdit* lossTime = tool.Find<QLineEdit>("phaseLossTimeEdit");
        lossTime->clear();
        QTest::keyClicks(lossTime, QStringLiteral("2.5"));
        QSignalSpy ticks(tool.Controller.get(), &CMainController::PollTickShown);
        QTRY_VERIFY(ticks.count() >= 3);
        QCOMPARE(lossTime->text(), QStringLiteral("2.5"));
        tool.Click("stopRunButton");
        tool.Click("writeSettingsButton");
        QTRY_COMPARE(tool.Status(), QStringLiteral("写数据参数值..."));
        QTRY_COMPARE(int(tool.Device.Register(0x0155) >> 8), 25);
        QCOMPARE(lossTime->text(), QStringLiteral("2.5"));
    }

    // The write runs whole between two poll ticks: its frames stand together on the line.
    void writeFromTheMenuWhilePollingIsContiguousOnTheLine() {
        Tool tool;
        QTRY_VERIFY(tool.Controller->PortOpen());
        tool.Click("readRealtimeButton");
        QTRY_VERIFY(tool.Status().contains(QStringLiteral("读实时数据...")));
        QTRY_VERIFY(tool.Text("acquisitionTimeEdit").toInt() >= 800);  // a tick has run
        tool.Dialogs.YesNoAnswer = true;
        tool.Trigger("actionWriteSettings");
        QTRY_VERIFY(tool.Dialogs.Messages.contains(QStringLiteral("数据写入成功...")));
        QTRY_VERIFY(tool.Status().contains(QStringLiteral("写数据参数值...")));
        tool.Click("stopRunButton");

        const auto sent = tool.TakeSent();
        size_t first = 0;
        while (first < sent.size() && sent[first][1] != kWriteMultipleRegisters) {
            ++first;
        }
        QVERIFY(first < sent.size());
        const std::vector<std::pair<int, int>> expected = {
            {0x10, 0x545A}, {0x10, 0x5462}, {0x10, 0x5453}, {0x03, 0x0155},
            {0x10, 0x5454}, {0x10, 0x5457}, {0x10, 0x5460}};
        QVERIFY(first + expected.size() <= sent.size());
        for (size_t k = 0; k < expected.size(); ++k) {
            const auto& frame = sent[first + k];
            QCOMPARE(int(frame[1]), expected[k].first);
            QCOMPARE(frame[2] << 8 | frame[3], expected[k].second);
        }
        for (size_t k = first + expected.size(); k < sent.size(); ++k) {
            QVERIFY(sent[k][1] != kWriteMultipleRegisters);
        }
        // The device now holds what the window showed.
        QCOMPARE(int(tool.Device.Register(0x0153)), 50);
        QCOMPARE(int(tool.Device.Register(0x0162)), 9999);
    }

    void answeringNoToTheWriteSendsNothing() {
        Tool tool;
        QTRY_VERIFY(tool.Controller->PortOpen());
        tool.Dialogs.YesNoAnswer = false;
        tool.Find<QLineEdit>("ctRatioEdit")->setText(QStringLiteral("77"));
        tool.Click("writeSettingsButton");
        QCOMPARE(tool.Dialogs.Questions, QStringList{QStringLiteral("您确认要修改当前数据吗?")});
        // Nothing is being written: the status does not say so.
        QCOMPARE(tool.Status(), QStringLiteral("写数据参数值已取消"));
        // The event read runs after anything the write could have queued.
        tool.Click("eventRecordsButton");
        QTRY_COMPARE(tool.Dialogs.EventRecordsShown, 1);
        for (const auto& frame : tool.TakeSent()) {
            QCOMPARE(int(frame[1]), int(kReadHoldingRegisters));
        }
        QVERIFY(tool.Dialogs.Messages.isEmpty());
        QCOMPARE(int(tool.Device.Register(0x0153)), 50);
    }

    void addressAndBaudChangeEndToEnd() {
        Tool tool(5);
        QTRY_VERIFY(tool.Controller->PortOpen());
        tool.Dialogs.CommParamsAnswer = [](CommParamValues& values) {
            values.Address = 12;
            values.BaudText = QStringLiteral("19200");
            values.NewBaudRate = 19200;
            return true;
        };
        // A device that does not take the new values: the tool stays where it answers (it
        // said "通信参数设置成功!" and went to 12 / 19200).
        tool.Device.IgnoreWritesAt(0x5450);
        tool.Click("commSettingsButton");
        QTRY_COMPARE(
            tool.Dialogs.Messages,
            QStringList{QStringLiteral("设备未接受新的通信参数，仍在原地址和波特率应答。")});
        QCOMPARE(tool.Port.Settings().BaudRate, 9600);
        QCOMPARE(tool.Controller->Connection().SlaveAddress, 5);
        tool.Dialogs.Messages.clear();
        tool.Device.IgnoreWritesAt(std::nullopt);
        tool.TakeSent();

        tool.Click("commSettingsButton");
        QTRY_VERIFY(tool.Dialogs.Messages.contains(QStringLiteral("通信参数设置成功!")));
        QCOMPARE(tool.Dialogs.CommParamsShown.Address, 5);
        QCOMPARE(tool.Dialogs.CommParamsShown.BaudText, QStringLiteral("9600"));
        QCOMPARE(tool.Dialogs.CommParamsShown.PortText, QStringLiteral("COM3"));
        const auto sent = tool.TakeSent();
        QVERIFY(sent.size() >= 3);
        // The write, then the two read back at the new address and rate.
        QCOMPARE(sent[sent.size() - 3], test::HexBytes("05 10 54 50 00 02 04 00 0C 00 04 EC A0"));
        QCOMPARE(sent.back(), test::ReadFrame(12, 0x0151, 1));
        QCOMPARE(int(tool.Device.Address()), 12);
        QCOMPARE(tool.Device.BaudRate(), 19200);
        QCOMPARE(tool.Port.Settings().BaudRate, 19200);
        QCOMPARE(tool.Controller->Connection().SlaveAddress, 12);
        QCOMPARE(tool.Window.LineText(), QStringLiteral("COM3  19200 波特 无校验  地址 12"));

        tool.Click("readRealtimeButton");
        QTRY_COMPARE(tool.Text("currentAddressEdit"), QStringLiteral("12"));
        QTRY_COMPARE(tool.Text("currentAEdit"), QStringLiteral("15.100"));
        tool.Click("stopRunButton");
        const auto polled = tool.TakeSent();
        QVERIFY(!polled.empty());
        for (const auto& frame : polled) {
            QCOMPARE(int(frame[0]), 12);
        }
    }

    void closedPortIsReportedAndNothingIsSent() {
        Tool tool(1, true);
        QTRY_COMPARE(tool.Dialogs.Messages.size(), 1);
        QVERIFY(tool.Dialogs.Messages[0].contains(QStringLiteral("COM3")));
        QVERIFY(tool.Dialogs.Messages[0].contains(QStringLiteral("device busy")));
        QVERIFY(!tool.Controller->PortOpen());
        tool.Dialogs.Messages.clear();
        tool.Click("closeAButton");
        tool.Trigger("actionSetStartMode");
        tool.Dialogs.YesNoAnswer = true;
        tool.Trigger("actionWriteSettings");
        QCOMPARE(tool.Dialogs.Messages.size(), 3);
        for (const QString& message : tool.Dialogs.Messages) {
            QVERIFY(message.contains(QStringLiteral("未打开")));
        }
        QVERIFY(!tool.Dialogs.Messages.contains(QStringLiteral("数据写入成功...")));
        QVERIFY(tool.TakeSent().empty());
    }

    void maintenanceUnlock_data() {
        QTest::addColumn<QString>("entered");
        QTest::addColumn<bool>("unlocked");
        QTest::newRow("exact") << QStringLiteral("QK4810") << true;
        QTest::newRow("trailing blank") << QStringLiteral("QK4810 ") << false;
        QTest::newRow("lower case") << QStringLiteral("qk4810") << false;
        QTest::newRow("empty") << QString() << false;
    }
    void maintenanceUnlock() {
        QFETCH(QString, entered);
        QFETCH(bool, unlocked);
        Tool tool;
        tool.Dialogs.PasswordAnswer = entered;
        tool.Click("maintenancePasswordButton");
        QCOMPARE(tool.Find<QPushButton>("calibrateVoltageButton")->isEnabled(), unlocked);
        QCOMPARE(tool.Dialogs.Messages.contains(QStringLiteral("密码错误")), !unlocked);
        // A wrong entry once unlocked leaves the buttons enabled.
        tool.Dialogs.PasswordAnswer = QStringLiteral("wrong");
        tool.Click("maintenancePasswordButton");
        QCOMPARE(tool.Find<QPushButton>("readCoefButton")->isEnabled(), unlocked);
    }

    void eventRecordsShowTheDevicesFaults() {
        Tool tool;
        QTRY_VERIFY(tool.Controller->PortOpen());
        tool.Click("eventRecordsButton");
        QTRY_COMPARE(tool.Dialogs.EventRecordsShown, 1);
        QCOMPARE(tool.Dialogs.EventRecords.Summary, std::string("有3条告警信息"));
        QCOMPARE(tool.Dialogs.EventRecords.Events[0], std::string("短路故障(E05)"));
        QCOMPARE(tool.Dialogs.EventRecords.Events[1], std::string("堵转故障(E06)"));
        QCOMPARE(tool.Dialogs.EventRecords.Events[2], std::string("过压(E16)"));
        QCOMPARE(tool.Dialogs.EventRecords.Events[3], std::string());
    }

    // Calibrating from the menu once the password is given: what it sends reads back as the
    // stored coefficients.
    void calibrationReadsBack() {
        Tool tool;
        QTemporaryDir folder;
        tool.Relay.Audit().UseLog(folder.filePath("audit.jsonl"));
        QTRY_VERIFY(tool.Controller->PortOpen());
        tool.Dialogs.PasswordAnswer = QStringLiteral("QK4810");
        tool.Click("maintenancePasswordButton");
        const int rows[3][4] = {{100, 102, 500, 498}, {100, 101, 500, 499}, {200, 203, 800, 806}};
        const char* columns[4] = {"calibX1Edit", "calibY1Edit", "calibX2Edit", "calibY2Edit"};
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 4; ++c) {
                const QByteArray name = QByteArray(columns[c]) + QByteArray::number(r);
                tool.Find<QLineEdit>(name.constData())->setText(QString::number(rows[r][c]));
            }
        }
        tool.Trigger("actionCalibrateCurrent");
        QTRY_VERIFY(tool.Dialogs.Messages.contains(QStringLiteral("电流设置成功！")));
        // What the device stores, in one scale with the read-back: 1.005 as 1.0050 (it was
        // stored as 1.0049), b 1.5 as the 1 the device keeps; the read-back shows the same.
        const auto grid = [&tool] {
            QStringList texts;
            for (const char* name : {"calibAEdit0", "calibBEdit0", "calibAEdit1", "calibBEdit1",
                                     "calibAEdit2", "calibBEdit2"}) {
                texts << tool.Text(name);
            }
            return texts;
        };
        const QStringList stored{"0.9900", "3", "0.9950", "1", "1.0050", "2"};
        QCOMPARE(grid(), stored);
        tool.Click("readCoefButton");
        QTRY_VERIFY(tool.Dialogs.Messages.contains(QStringLiteral("序数读取成功")));
        QCOMPARE(grid(), stored);
        // The reset puts a = 1 (10000) and b = 0 back for every phase.
        tool.Click("resetCurrentCoefButton");
        QTRY_VERIFY(tool.Dialogs.Messages.contains(QStringLiteral("序数复归成功！")));
        QTRY_COMPARE(int(tool.Device.Register(0x014C)), 10000);
        QCOMPARE(int(tool.Device.Register(0x014D)), 0);
        // A silent device confirms nothing: no success is said.
        tool.Dialogs.Messages.clear();
        tool.Port.SilenceAfter(0);
        tool.Trigger("actionCalibrateCurrent");
        QTRY_COMPARE(tool.Dialogs.Messages,
                     QStringList{QStringLiteral("系数已发送，但设备无应答，未能读回确认。")});
        // Each coefficient write is in the audit log with its outcome; the read is not.
        QStringList logged;
        for (const AuditEntry& entry : CAuditLog::Read(folder.filePath("audit.jsonl"))) {
            logged << entry.Operation + "/" + entry.Outcome;
        }
        QCOMPARE(logged,
                 (QStringList{"calibrate-current/confirmed", "reset-current-coefficients/confirmed",
                              "calibrate-current/not-answering"}));
    }

    // ---- nothing unsafe sent, no failure reported as success ------------------------------

    // Each value typed is refused with a message naming the field, before the question and
    // before any byte goes out; the field keeps what was typed and the device its settings.
    void settingsRefusedBeforeAnythingIsSent_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        auto row = [](const char* name, const char* control, const char* typed,
                      const char* message) {
            QTest::newRow(name) << QString::fromLatin1(control) << QString::fromUtf8(typed)
                                << QString::fromUtf8(message);
        };
        row("locked-rotor multiple x9.5 (was sent as 0.0)", "lockedRotorMultipleEdit", "x9.5",
            "堵转动作倍数的值“x9.5”不是数字（范围1.0-10.0，未投入时可为0）");
        row("empty start time (was sent as 0)", "startTimeEdit", "", "启动时间未填写");
        row("empty rated current (was called out of range)", "ratedCurrentEdit", "",
            "额定电流未填写");
        row("CT ratio of blanks", "ctRatioEdit", "   ", "电流变比未填写");
        row("empty phase-loss time", "phaseLossTimeEdit", "", "缺相时间未填写");
        row("empty breaking current (an integer field)", "breakingCurrentEdit", "",
            "交流接触器允许分断电流未填写");
        row("unbalance 250 %", "unbalancePercentEdit", "250",
            "不平衡动作值超出范围（20-100，未投入时可为0）");
        row("phase-loss time -1 (was 24.6 s)", "phaseLossTimeEdit", "-1",
            "缺相时间超出范围（0.1-25.5，未投入时可为0）");
        row("under-voltage 5 %", "underVoltagePercentEdit", "5",
            "欠压动作值超出范围（50-95，未投入时可为0）");
        row("over-voltage 160 (was refused after five groups)", "overVoltagePercentEdit", "160",
            "请在过压动作值范围为105-150");
        row("breaking current not a number (the write went on)", "breakingCurrentEdit", "abc",
            "交流接触器允许分断电流：请输入一个整数。");
        row("CT ratio with a tail", "ctRatioEdit", "12abc",
            "电流变比的值“12abc”不是数字（范围1-999）");
    }
    void settingsRefusedBeforeAnythingIsSent() {
        QFETCH(QString, control);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        Tool tool;
        QTRY_VERIFY(tool.Controller->PortOpen());
        tool.Find<QLineEdit>(qPrintable(control))->setText(typed);
        tool.Click("writeSettingsButton");
        tool.Settle();
        QCOMPARE(tool.Dialogs.Messages, QStringList{message});
        QVERIFY(tool.Dialogs.Questions.isEmpty());
        QVERIFY(tool.TakeSent().empty());
        QCOMPARE(tool.Text(qPrintable(control)), typed);
        QCOMPARE(int(tool.Device.Register(0x0160)), 120 << 8 | 5);
    }

    // The start-mode command carries the phase-loss time in one byte and the mode's place in
    // the list in another: neither is sent unless the device takes it, and a phase-loss time
    // the operator did not type (the start-up value) is never sent: the device's own is read
    // and kept. Confirmed by reading the register back.
    void startModeSendsOnlyValidValues_data() {
        QTest::addColumn<QString>("phaseLoss");  // typed; "-": nothing typed
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("message");  // empty: sent
        QTest::addColumn<int>("tenths");
        QTest::addColumn<int>("modeIndex");
        QTest::newRow("star-delta, 2.5 s") << "2.5"
                                           << "星三角起动"
                                           << "" << 25 << 2;
        QTest::newRow("direct, 25.5 s") << "25.5"
                                        << "直接起动"
                                        << "" << 255 << 0;
        QTest::newRow("30 s (was sent as 4.4 s)")
            << "30"
            << "直接起动"
            << "缺相时间超出范围（0.1-25.5，未投入时可为0）" << 0 << 0;
        QTest::newRow("phase-loss time no number (was sent as 0)")
            << "abc"
            << "直接起动"
            << "缺相时间的值“abc”不是数字（范围0.1-25.5，未投入时可为0）" << 0 << 0;
        QTest::newRow("0.35 s is no time the device holds")
            << "0.35"
            << "直接起动"
            << "缺相时间的值“0.35”不是设备可存的值：步长为0.1（范围0.1-25.5，未投入时可为0）" << 0
            << 0;
        QTest::newRow("mode not in the list (was sent as 255)")
            << "0.5"
            << "三角"
            << "起动方式的值不在列表中" << 0 << 0;
        // The window's start-up 0.5 s was written over the device's 0.3 s without a word.
        QTest::newRow("nothing typed: the device's 0.3 s kept") << "-"
                                                                << "星三角起动"
                                                                << "" << 3 << 2;
    }
    void startModeSendsOnlyValidValues() {
        QFETCH(QString, phaseLoss);
        QFETCH(QString, mode);
        QFETCH(QString, message);
        QFETCH(int, tenths);
        QFETCH(int, modeIndex);
        Tool tool;
        QTRY_VERIFY(tool.Controller->PortOpen());
        tool.Device.SetRegister(0x0155, 0x0300);  // 0.3 s, "直接起动"
        tool.Settle();
        tool.TakeSent();
        QLineEdit* edit = tool.Find<QLineEdit>("phaseLossTimeEdit");
        if (phaseLoss != "-") {
            edit->clear();
            QTest::keyClicks(edit, phaseLoss);
        }
        const QString shown = edit->text();
        auto* combo = tool.Find<QComboBox>("startModeCombo");
        combo->setCurrentIndex(combo->findText(mode));
        combo->setEditText(mode);
        tool.Click("setStartModeButton");
        tool.Settle();
        const auto sent = tool.TakeSent();
        if (!message.isEmpty()) {
            QCOMPARE(tool.Dialogs.Messages, QStringList{message});
            QVERIFY(sent.empty());
            QCOMPARE(tool.Text("phaseLossTimeEdit"), phaseLoss);
            return;
        }
        QVERIFY(tool.Dialogs.Messages.isEmpty());
        QTRY_COMPARE(tool.Status(), QStringLiteral("起动方式已设置"));
        const std::vector<uint8_t> readBack = test::ReadFrame(1, 0x0155, 1);
        QCOMPARE(sent.size(), size_t{phaseLoss == "-" ? 3u : 2u});
        QCOMPARE(sent.back(), readBack);
        const std::vector<uint8_t>& frame = sent[sent.size() - 2];
        QCOMPARE(int(frame[1]), 0x10);
        QCOMPARE(int(frame[2]) << 8 | frame[3], 0x5455);
        QCOMPARE(int(frame[7]), tenths);
        QCOMPARE(int(frame[8]), modeIndex);
        QCOMPARE(int(tool.Device.Register(0x0155)), tenths << 8 | modeIndex);
        QCOMPARE(edit->text(), shown);  // the window keeps what it showed
    }

    // The write ends with "数据写入成功..." only when the device holds every value sent; the
    // window keeps what the operator typed whatever the device holds.
    void writeReportsWhatTheDeviceHolds_data() {
        QTest::addColumn<int>("ignoredWrite");  // 0: none
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("device keeps everything") << 0 << false << QStringList{"数据写入成功..."};
        QTest::newRow("device drops the voltage group")
            << 0x5460 << false
            << QStringList{
                   "设备未保存以下参数：过压动作值、过压动作时间、欠压动作值、欠压动作时间"};
        // One outcome, said once (it said "the rest was written", then "not confirmed").
        QTest::newRow("silent device (was reported a success)")
            << 0 << true << QStringList{"设备无应答，数据写入未确认"};
    }
    void writeReportsWhatTheDeviceHolds() {
        QFETCH(int, ignoredWrite);
        QFETCH(bool, silent);
        QFETCH(QStringList, messages);
        Tool tool;
        QTRY_VERIFY(tool.Controller->PortOpen());
        if (ignoredWrite != 0) {
            tool.Device.IgnoreWritesAt(static_cast<uint16_t>(ignoredWrite));
        }
        if (silent) {
            tool.Port.SilenceAfter(0);
        }
        const std::pair<const char*, const char*> typed[] = {{"ctRatioEdit", "200"},
                                                             {"overVoltagePercentEdit", "130"},
                                                             {"overVoltageTimeEdit", "9"},
                                                             {"underVoltagePercentEdit", "70"},
                                                             {"underVoltageTimeEdit", "3"}};
        for (const auto& [control, text] : typed) {
            tool.Find<QLineEdit>(control)->setText(QString::fromLatin1(text));
        }
        tool.Click("writeSettingsButton");
        QTRY_COMPARE(tool.Status(), QStringLiteral("写数据参数值..."));
        QCOMPARE(tool.Dialogs.Messages, messages);
        for (const auto& [control, text] : typed) {
            QCOMPARE(tool.Text(control), QString::fromLatin1(text));
        }
    }

    // A read that finds no reply changes no field and says so, once.
    void readWithoutReplyChangesNothing_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("answered");  // requests answered before the device falls silent
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QStringList>("fields");  // controls that keep their text
        QTest::newRow("settings block C (showed zeros)")
            << "readRealtimeButton" << 6 << QStringList()
            << QStringList{"overVoltagePercentEdit", "overVoltageTimeEdit",
                           "underVoltagePercentEdit", "underVoltageTimeEdit",
                           "breakingCurrentEdit"};
        QTest::newRow("coefficients (showed zeros and \"序数读取成功\")")
            << "readCoefButton" << 0 << QStringList{"设备无应答"}
            << QStringList{"calibAEdit0", "calibBEdit2", "calibAEdit3"};
        QTest::newRow("event count (showed \"无告警信息\")")
            << "eventRecordsButton" << 0 << QStringList{"设备无应答，未能读取告警事件记录"}
            << QStringList();
        QTest::newRow("event codes (showed empty events)")
            << "eventRecordsButton" << 1 << QStringList{"设备无应答，未能读取告警事件记录"}
            << QStringList();
        QTest::newRow("address and baud (opened on 0 and 1200)")
            << "commSettingsButton" << 1 << QStringList{"设备无应答，未能读取设备的通信参数"}
            << QStringList();
    }
    void readWithoutReplyChangesNothing() {
        QFETCH(QString, button);
        QFETCH(int, answered);
        QFETCH(QStringList, messages);
        QFETCH(QStringList, fields);
        Tool tool;
        QTRY_VERIFY(tool.Controller->PortOpen());
        tool.Unlock();
        tool.Device.SetRegister(0x0160, 130 << 8 | 7);  // not the window's values
        tool.Device.SetRegister(0x0162, 4321);
        QStringList before;
        for (const QString& field : fields) {
            before << tool.Text(qPrintable(field));
        }
        tool.Port.SilenceAfter(answered);
        tool.Click(qPrintable(button));
        tool.Settle();
        if (button == "readRealtimeButton") {
            // Said once, in the status bar, as for blocks A and B; blocks A and B were read.
            QCOMPARE(tool.Status(), QStringLiteral("读实时数据...读参数不成功"));
            QCOMPARE(tool.Text("ctRatioEdit"), QStringLiteral("50"));
            tool.Click("stopRunButton");
        }
        QCOMPARE(tool.Dialogs.Messages, messages);
        QCOMPARE(tool.Dialogs.EventRecordsShown, 0);
        QCOMPARE(tool.Dialogs.CommParamsAsked, 0);
        QStringList after;
        for (const QString& field : fields) {
            after << tool.Text(qPrintable(field));
        }
        QCOMPARE(after, before);
    }

    // The lamps show what the device reports after every command; without a reply the lamps
    // of the command's outputs are neither red nor green and the status bar says so.
    void contactorLampsShowTheDevice_data() {
        QTest::addColumn<QString>("source");  // a button or a menu item
        QTest::addColumn<int>("coils");       // the device's outputs before the command
        QTest::addColumn<bool>("silent");     // the output read-back gets no reply
        QTest::addColumn<QList<Lamp>>("lamps");
        const Lamp R = Lamp::Red, G = Lamp::Green, U = Lamp::Unknown;
        QTest::newRow("合闸A") << "closeAButton" << 0x00 << false << QList<Lamp>{R, G, G};
        QTest::newRow("合闸A, no reply (stayed red)")
            << "closeAButton" << 0x00 << true << QList<Lamp>{U, R, G};
        QTest::newRow("分闸A read back (was never read)")
            << "actionOpenOutputA" << 0x03 << false << QList<Lamp>{G, R, G};
        QTest::newRow("分闸B, no reply (stayed green)")
            << "actionOpenOutputB" << 0x03 << true << QList<Lamp>{G, U, G};
        QTest::newRow("复归, no reply") << "resetButton" << 0x03 << true << QList<Lamp>{U, U, U};
    }
    void contactorLampsShowTheDevice() {
        QFETCH(QString, source);
        QFETCH(int, coils);
        QFETCH(bool, silent);
        QFETCH(QList<Lamp>, lamps);
        Tool tool;
        QTRY_VERIFY(tool.Controller->PortOpen());
        tool.Device.SetCoils(static_cast<uint8_t>(coils));
        tool.Window.Fields().Live.Outputs = {Lamp::Green, Lamp::Red, Lamp::Green};
        tool.Window.ShowFields();
        if (silent) {
            tool.Port.SilenceAfter(1);
        }
        if (source.startsWith("action")) {
            tool.Trigger(qPrintable(source));
        } else {
            tool.Click(qPrintable(source));
        }
        tool.Settle();
        QList<Lamp> shown;
        for (const char* lamp : {"outputALamp", "outputBLamp", "resetLamp"}) {
            shown << tool.Find<CIndicatorLamp>(lamp)->State();
        }
        QCOMPARE(shown, lamps);
        QCOMPARE(tool.Status() == QStringLiteral("设备无应答，输出状态未确认"), silent);
        QCOMPARE(tool.TakeSent().back()[1], uint8_t{0x01});  // every command reads back
        if (silent) {
            // Once the device answers again the status bar no longer says it did not.
            tool.Port.SetFaults(SimFaults());
            tool.Click("resetButton");
            tool.Settle();
            QCOMPARE(tool.Status(), QStringLiteral("输出状态已确认"));
            QCOMPARE(tool.Find<CIndicatorLamp>("outputALamp")->State(), Lamp::Green);
        }
    }

    // Each change made from the window leaves one entry in the relay's audit log, with what
    // was read before and after; a log that cannot be written stops the change before anything
    // is sent, and a line that could not be appended is said.
    void auditTrailOfEachChange_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("logPath");  // empty: a log in a fresh folder
        QTest::addColumn<bool>("readFirst");   // the settings were read before the change
        QTest::addColumn<int>("ignoredWrite");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QString>("operation");  // empty: no entry
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QStringList>("beforeKeys");
        QTest::addColumn<QStringList>("afterKeys");
        QTest::addColumn<QString>("logMessage");  // the start of the operator's message
        QTest::addColumn<bool>("sends");
        const QStringList none;
        const QStringList read{"protections", "readAt", "settings"};
        const QStringList held{"protections", "settings"};
        const QStringList outputs{"outputA", "outputB", "reset"};
        QTest::newRow("write confirmed, settings read before")
            << "writeSettingsButton"
            << "" << true << 0 << false << "write-settings"
            << "confirmed" << read << held << "" << true;
        QTest::newRow("write confirmed, nothing read before")
            << "writeSettingsButton"
            << "" << false << 0 << false << "write-settings"
            << "confirmed" << none << held << "" << true;
        QTest::newRow("write, voltage group dropped")
            << "writeSettingsButton"
            << "" << false << 0x5460 << false << "write-settings"
            << "not-confirmed" << none << held << "" << true;
        QTest::newRow("write, silent device") << "writeSettingsButton"
                                              << "" << false << 0 << true << "write-settings"
                                              << "not-answering" << none << none << "" << true;
        QTest::newRow("合闸A") << "closeAButton"
                               << "" << false << 0 << false << "close-a"
                               << "confirmed" << none << outputs << "" << true;
        QTest::newRow("复归, no reply") << "resetButton"
                                        << "" << false << 0 << true << "reset"
                                        << "not-answering" << none << none << "" << true;
        QTest::newRow("address/baud kept by the device")
            << "commSettingsButton"
            << "" << false << 0x5450 << false << "change-address-baud"
            << "refused" << QStringList{"address", "baud"} << none << "" << true;
        QTest::newRow("log not writable: write refused")
            << "writeSettingsButton"
            << "/proc/mp-audit/audit.jsonl" << false << 0 << false << ""
            << "" << none << none << "审计日志 /proc/mp-audit/audit.jsonl 无法写入" << false;
        QTest::newRow("log not writable: 合闸B refused")
            << "closeBButton"
            << "/proc/mp-audit/audit.jsonl" << false << 0 << false << ""
            << "" << none << none << "审计日志 /proc/mp-audit/audit.jsonl 无法写入" << false;
        QTest::newRow("log not writable: address/baud refused")
            << "commSettingsButton"
            << "/proc/mp-audit/audit.jsonl" << false << 0 << false << ""
            << "" << none << none << "审计日志 /proc/mp-audit/audit.jsonl 无法写入" << false;
        QTest::newRow("disk full: the command is sent, the lost line said")
            << "closeAButton"
            << "/dev/full" << false << 0 << false << ""
            << "" << none << none << "更改已发送，但未能记入审计日志 /dev/full" << true;
    }
    void auditTrailOfEachChange() {
        QFETCH(QString, source);
        QFETCH(QString, logPath);
        QFETCH(bool, readFirst);
        QFETCH(int, ignoredWrite);
        QFETCH(bool, silent);
        QFETCH(QString, operation);
        QFETCH(QString, outcome);
        QFETCH(QStringList, beforeKeys);
        QFETCH(QStringList, afterKeys);
        QFETCH(QString, logMessage);
        QFETCH(bool, sends);
        QTemporaryDir folder;
        const QString path = logPath.isEmpty() ? folder.filePath("audit.jsonl") : logPath;
        Tool tool;
        tool.Relay.Audit().UseLog(path);
        QTRY_VERIFY(tool.Controller->PortOpen());
        tool.Dialogs.CommParamsAnswer = [](CommParamValues& values) {
            values.Address = 12;
            values.BaudText = QStringLiteral("19200");
            values.NewBaudRate = 19200;
            return true;
        };
        if (readFirst) {
            tool.Click("readRealtimeButton");
            QTRY_VERIFY(!tool.Text("currentAEdit").isEmpty());
            tool.Click("stopRunButton");
            tool.Settle();
        }
        tool.Find<QLineEdit>("ctRatioEdit")->setText(QStringLiteral("200"));
        tool.Find<QLineEdit>("overVoltagePercentEdit")->setText(QStringLiteral("130"));
        if (ignoredWrite != 0) {
            tool.Device.IgnoreWritesAt(static_cast<uint16_t>(ignoredWrite));
        }
        if (silent) {
            tool.Port.SilenceAfter(source == "resetButton" ? 1 : 0);
        }
        tool.TakeSent();
        tool.Click(qPrintable(source));
        tool.Settle();
        QTRY_VERIFY(!tool.Dialogs.Messages.isEmpty() || operation.isEmpty() ||
                    CAuditLog::Read(path).size() == 1);
        tool.Settle();
        QCOMPARE(!tool.TakeSent().empty(), sends);
        const auto said = [&](const QString& start) {
            return std::any_of(tool.Dialogs.Messages.begin(), tool.Dialogs.Messages.end(),
                               [&](const QString& m) { return m.startsWith(start); });
        };
        if (!logMessage.isEmpty()) {
            QVERIFY2(said(logMessage), qPrintable(tool.Dialogs.Messages.join('|')));
        } else {
            QVERIFY(!tool.Dialogs.Messages.join('|').contains(QStringLiteral("审计日志")));
        }
        if (path == QStringLiteral("/dev/full")) {
            return;  // nothing to read back from it
        }
        const QVector<AuditEntry> entries = CAuditLog::Read(path);
        QCOMPARE(entries.size(), operation.isEmpty() ? 0 : 1);
        if (operation.isEmpty()) {
            return;
        }
        const AuditEntry& entry = entries.front();
        QCOMPARE(entry.Operation, operation);
        QCOMPARE(entry.Outcome, outcome);
        QCOMPARE(entry.Address, 1);
        QCOMPARE(entry.Line, QStringLiteral("COM3"));
        QCOMPARE(entry.Tag, QString());
        QVERIFY(!entry.User.isEmpty());
        QCOMPARE(entry.Before.keys(), beforeKeys);
        QCOMPARE(entry.After.keys(), afterKeys);
        if (readFirst) {
            // The typed values are the change between what was read and what is held now.
            QCOMPARE(AuditChangeText(entry.Before, entry.After),
                     QStringLiteral("ctRatio 50→200, overVoltagePercent 120→130"));
        }
        QCOMPARE(entry.Detail.contains(QStringLiteral("not held")), ignoredWrite == 0x5460);
    }

    // Without the maintenance password the current calibration's menu item is disabled and
    // its handler refuses; nothing is sent.
    void calibrationFromTheMenuWaitsForThePassword() {
        Tool tool;
        QTRY_VERIFY(tool.Controller->PortOpen());
        QAction* menu = tool.Find<QAction>("actionCalibrateCurrent");
        QVERIFY(!menu->isEnabled());
        menu->trigger();
        tool.Controller->Run(MainCommand::CalibrateCurrent);
        tool.Settle();
        QCOMPARE(tool.Dialogs.Messages, QStringList{QStringLiteral("请先输入调试密码")});
        QVERIFY(tool.TakeSent().empty());
        tool.Unlock();
        QVERIFY(menu->isEnabled());
    }

    // PWM coefficients and calibration points that are no whole numbers are refused naming
    // the field, before anything is sent.
    void maintenanceInputRefused_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("message");
        QTest::newRow("PWM a 100077 (was sent as 34541)")
            << "calibAEdit3"
            << "100077"
            << "pwmOutputButton"
            << "PWM a系数的值“100077”不是0-65535的整数";
        QTest::newRow("PWM a abc (was sent as 0)") << "calibAEdit3"
                                                   << "abc"
                                                   << "pwmOutputButton"
                                                   << "PWM a系数的值“abc”不是0-65535的整数";
        QTest::newRow("PWM b -5 (was sent as 0xFFFB)") << "calibBEdit3"
                                                       << "-5"
                                                       << "pwmOutputButton"
                                                       << "PWM b系数的值“-5”不是0-65535的整数";
        QTest::newRow("current point not a number (was taken as 0)")
            << "calibX1Edit0"
            << "abc"
            << "calibrateCurrentButton"
            << "A/AB相 X1：请输入一个整数。";
        QTest::newRow("voltage point with a fraction") << "calibY2Edit2"
                                                       << "1.5"
                                                       << "calibrateVoltageButton"
                                                       << "C/CA相 Y2：请输入一个整数。";
    }
    void maintenanceInputRefused() {
        QFETCH(QString, control);
        QFETCH(QString, typed);
        QFETCH(QString, button);
        QFETCH(QString, message);
        Tool tool;
        QTRY_VERIFY(tool.Controller->PortOpen());
        tool.Unlock();
        // Rows that fit and PWM values that may be sent, but for the one typed.
        const char* columns[4] = {"calibX1Edit", "calibY1Edit", "calibX2Edit", "calibY2Edit"};
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < 4; ++c) {
                const QByteArray name = QByteArray(columns[c]) + QByteArray::number(r);
                tool.Find<QLineEdit>(name.constData())->setText(QString::number(100 * (c / 2 + 1)));
            }
        }
        tool.Find<QLineEdit>("calibAEdit3")->setText(QStringLiteral("1000"));
        tool.Find<QLineEdit>("calibBEdit3")->setText(QStringLiteral("100"));
        tool.Find<QLineEdit>(qPrintable(control))->setText(typed);
        tool.Click(qPrintable(button));
        tool.Settle();
        QCOMPARE(tool.Dialogs.Messages, QStringList{message});
        QVERIFY(tool.TakeSent().empty());
        QCOMPARE(tool.Text(qPrintable(control)), typed);
    }

    // A device that stops answering while polled: its values stay, greyed, with a tooltip
    // saying since when and why; the status bar's lamp and words count the reads without
    // reply; all of it goes at the next good read.
    void silentDeviceLeavesStaleMarks() {
        Tool tool;
        QTRY_VERIFY(tool.Controller->PortOpen());
        tool.Click("readRealtimeButton");
        QTRY_COMPARE(tool.Text("voltageAEdit"), QStringLiteral("380.00"));
        QTRY_COMPARE(tool.Window.LinkStatusText(), QStringLiteral("通讯正常"));
        QCOMPARE(tool.Window.LinkLamp()->State(), LinkState::Answering);
        QVERIFY(!tool.Stale("currentAEdit"));

        SimFaults silent;
        silent.Silent = true;
        tool.Port.SetFaults(silent);
        QTRY_VERIFY(tool.Window.LinkStatusText().startsWith(QStringLiteral("设备无应答 (连续 ")));
        QTRY_VERIFY(tool.Stale("voltageCEdit") && tool.Stale("currentAEdit"));
        QCOMPARE(tool.Window.LinkLamp()->State(), LinkState::Unanswered);
        QCOMPARE(tool.Text("currentAEdit"), QStringLiteral("15.100"));
        QCOMPARE(tool.Text("voltageAEdit"), QStringLiteral("380.00"));
        const QString tip = tool.Find<QLineEdit>("currentBEdit")->toolTip();
        QVERIFY2(tip.startsWith(QStringLiteral("数据已过时：自 ")) &&
                     tip.contains(QStringLiteral("设备无应答")),
                 qPrintable(tip));
        QTRY_VERIFY(tool.Find<CIndicatorLamp>("diLamp1")->IsStale());
        QVERIFY(tool.Find<CIndicatorLamp>("outputALamp")->IsStale());
        QVERIFY(tool.Status().startsWith(QStringLiteral("读实时数据...")));
        QVERIFY(tool.Dialogs.Messages.isEmpty());

        tool.Port.SetFaults({});
        QTRY_COMPARE(tool.Window.LinkStatusText(), QStringLiteral("通讯正常"));
        QTRY_VERIFY(!tool.Stale("currentAEdit") && !tool.Stale("voltageCEdit"));
        QVERIFY(tool.Find<QLineEdit>("currentBEdit")->toolTip().isEmpty());
        QTRY_VERIFY(!tool.Find<CIndicatorLamp>("diLamp1")->IsStale());
        tool.Click("stopRunButton");
    }

    // The link lamp is green only while every live read of the tick answers, and its words
    // say what went wrong: a device answering the currents too late left "通讯正常" on, and
    // a bad CRC was called "无应答".
    void linkStateReflectsEveryRead_data() {
        QTest::addColumn<SimFaults>("faults");
        QTest::addColumn<QString>("link");     // the start of the link's words
        QTest::addColumn<QString>("tooltip");  // in the currents' stale mark
        QTest::addColumn<bool>("voltagesStale");
        SimFaults late;
        late.ReplyDelayMs = 250;  // past the currents' 200 ms wait, within the others' 300 ms
        SimFaults corrupt;
        corrupt.CorruptCrc = true;
        QTest::newRow("currents answered too late")
            << late << QStringLiteral("部分读取失败：电流 (设备无应答)")
            << QStringLiteral("设备无应答") << false;
        QTest::newRow("bad CRC") << corrupt << QStringLiteral("应答CRC校验错误 (连续 ")
                                 << QStringLiteral("应答CRC校验错误") << true;
    }
    void linkStateReflectsEveryRead() {
        QFETCH(SimFaults, faults);
        QFETCH(QString, link);
        QFETCH(QString, tooltip);
        QFETCH(bool, voltagesStale);
        Tool tool;
        QTRY_VERIFY(tool.Controller->PortOpen());
        tool.Click("readRealtimeButton");
        QTRY_COMPARE(tool.Window.LinkStatusText(), QStringLiteral("通讯正常"));
        tool.Port.SetFaults(faults);
        QTRY_VERIFY2(tool.Window.LinkStatusText().startsWith(link),
                     qPrintable(tool.Window.LinkStatusText()));
        QCOMPARE(tool.Window.LinkLamp()->State(), LinkState::Unanswered);
        QTRY_VERIFY(tool.Stale("currentAEdit"));
        QVERIFY(tool.Find<QLineEdit>("currentAEdit")->toolTip().contains(tooltip));
        QCOMPARE(tool.Stale("voltageAEdit"), voltagesStale);
        tool.Click("stopRunButton");
    }

    // The adapter pulled out while polling and put back: said once, retried quietly every
    // 2 s with the same settings, and polling reads again without a restart; no value of
    // another read is ever shown.
    void portLostAndFoundAgainWhilePolling() {
        Tool tool;
        QTRY_VERIFY(tool.Controller->PortOpen());
        const test::CWrongValues wrong(tool.Device, tool.Window.Fields().Live,
                                       tool.Window.Fields().Settings);
        tool.Click("readRealtimeButton");
        QTRY_COMPARE(tool.Text("currentAEdit"), QStringLiteral("15.100"));
        QVERIFY(wrong.Of(tool.Window.Fields().Live, tool.Window.Fields().Settings).isEmpty());

        const int attempts = tool.Port.OpenAttempts();
        const uint64_t lostAt = tool.Clock.Elapsed();
        tool.Port.SetUnplugged(true);
        QTRY_COMPARE(tool.Status(), QStringLiteral("串口已断开，正在重试..."));
        QCOMPARE(tool.Dialogs.Messages, QStringList{QStringLiteral("串口 COM3 出错：连接已断开")});
        QCOMPARE(tool.Window.LinkStatusText(), QStringLiteral("串口已断开，正在重试..."));
        QCOMPARE(tool.Window.LinkLamp()->State(), LinkState::PortLost);
        QVERIFY(!tool.Controller->PortOpen());
        QTRY_VERIFY(tool.Port.OpenAttempts() >= attempts + 3);
        QVERIFY(tool.Controller->Worker().IsPolling());
        QTRY_VERIFY(tool.Stale("currentAEdit"));
        QCOMPARE(tool.Text("currentAEdit"), QStringLiteral("15.100"));
        QVERIFY(
            tool.Find<QLineEdit>("currentAEdit")->toolTip().contains(QStringLiteral("串口未打开")));

        tool.Port.SetUnplugged(false);
        QTRY_VERIFY(tool.Controller->PortOpen());
        const uint64_t foundAt = tool.Clock.Elapsed();
        const int retries = tool.Port.OpenAttempts() - attempts;
        QVERIFY2(
            retries <= static_cast<int>((foundAt - lostAt) / 2000) + 1,
            qPrintable(QStringLiteral("%1 retries in %2 ms").arg(retries).arg(foundAt - lostAt)));
        QCOMPARE(tool.Status(), QStringLiteral("串口已重新连接，读实时数据..."));
        QCOMPARE(tool.Port.Settings().Name, std::string("COM3"));
        QCOMPARE(tool.Port.Settings().BaudRate, 9600);
        QTRY_COMPARE(tool.Window.LinkStatusText(), QStringLiteral("通讯正常"));
        QTRY_VERIFY(!tool.Stale("currentAEdit"));
        QVERIFY(wrong.Of(tool.Window.Fields().Live, tool.Window.Fields().Settings).isEmpty());
        // Polling reads the device again: a value it now holds reaches the window.
        tool.Device.SetRegister(0x0103, 2200);
        QTRY_COMPARE(tool.Text("voltageAEdit"), QStringLiteral("220.00"));
        QCOMPARE(tool.Dialogs.Messages.size(), 1);
        tool.Click("stopRunButton");
    }

    // "重新连接..." while nothing runs: the start-up dialog again, showing the line in use;
    // the port reopened with what it gives, and the device reached at its new address. While
    // polling it is not offered and does nothing.
    void reconnectChoosesAnotherLine() {
        Tool tool(5);
        QTRY_VERIFY(tool.Controller->PortOpen());
        QTRY_VERIFY(tool.ReconnectOffered());
        tool.Dialogs.ConnectionAnswer = [](ConnectionSettings&) { return false; };
        tool.Trigger("actionReconnect");
        QCOMPARE(tool.Dialogs.ConnectionShown.PortText, QStringLiteral("COM3"));
        QCOMPARE(int(tool.Dialogs.ConnectionShown.SlaveAddress), 5);
        QCOMPARE(tool.Port.OpenCount(), 1);  // cancelled: nothing reopened

        tool.Device.SetAddress(7);
        tool.Device.SetBaudCode(4);
        tool.Dialogs.ConnectionAnswer = [](ConnectionSettings& chosen) {
            chosen.PortText = QStringLiteral("COM5");
            chosen.PortNumber = 5;
            chosen.BaudRate = 19200;
            chosen.ParityCode = 2;
            chosen.SlaveAddress = 7;
            return true;
        };
        tool.Trigger("actionReconnect");
        QTRY_COMPARE(tool.Status(), QStringLiteral("串口 COM5 已连接"));
        QVERIFY(tool.Controller->PortOpen());
        QCOMPARE(tool.Port.OpenCount(), 2);
        QCOMPARE(tool.Port.Settings().Name, std::string("COM5"));
        QCOMPARE(tool.Port.Settings().BaudRate, 19200);
        QCOMPARE(tool.Port.Settings().Parity, 2);
        QVERIFY(tool.Window.Fields().ConnectionSummary.find("仪表地址: 7") != std::string::npos);
        QCOMPARE(tool.Window.LineText(), QStringLiteral("COM5  19200 波特 偶校验  地址 7"));

        tool.Click("readRealtimeButton");
        QTRY_COMPARE(tool.Text("currentAddressEdit"), QStringLiteral("7"));
        QTRY_COMPARE(tool.Text("currentAEdit"), QStringLiteral("15.100"));
        QVERIFY(!tool.ReconnectOffered());
        tool.Trigger("actionReconnect");
        QCOMPARE(tool.Dialogs.ConnectionAsked, 2);
        tool.Click("stopRunButton");
        QTRY_VERIFY(tool.ReconnectOffered());
    }

    // Reads that found the port closed (78 in a row) say nothing of the line chosen since:
    // after "重新连接..." the lamp is no longer red and its words no longer "串口未打开" beside
    // "串口 COM3 已连接"; the next reads give the new line's state.
    void reconnectStartsTheLinkStateAgain() {
        Tool tool(1, true);
        QTRY_COMPARE(tool.Dialogs.Messages.size(), 1);
        tool.Click("readRealtimeButton");
        QTRY_VERIFY(tool.Window.LinkStatusText().startsWith(QStringLiteral("串口未打开 (连续 ")));
        QCOMPARE(tool.Window.LinkLamp()->State(), LinkState::PortLost);
        tool.Click("stopRunButton");
        tool.Settle();

        tool.Port.SetOpenFailure("");
        tool.Dialogs.ConnectionAnswer = [](ConnectionSettings&) { return true; };
        QTRY_VERIFY(tool.ReconnectOffered());
        tool.Trigger("actionReconnect");
        QTRY_COMPARE(tool.Status(), QStringLiteral("串口 COM3 已连接"));
        QVERIFY(!tool.Window.LinkStatusText().contains(QStringLiteral("串口未打开")));
        QCOMPARE(tool.Window.LinkLamp()->State(), LinkState::Idle);

        tool.Click("readRealtimeButton");
        QTRY_COMPARE(tool.Window.LinkStatusText(), QStringLiteral("通讯正常"));
        QCOMPARE(tool.Window.LinkLamp()->State(), LinkState::Answering);
        tool.Click("stopRunButton");
    }

    // Closing the window while the settings fields hold values that were neither read from the
    // device, nor loaded, nor written asks first; "否" keeps the window and the line open.
    void closingWithUnwrittenSettingsAsks_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("closed");
        QTest::newRow("nothing changed") << "" << false << false << true;
        QTest::newRow("typed, answered No") << "type" << false << true << false;
        QTest::newRow("typed, answered Yes") << "type" << true << true << true;
        QTest::newRow("typed into an integer field") << "typeInteger" << false << true << false;
        QTest::newRow("protection box cleared") << "box" << false << true << false;
        QTest::newRow("factory values restored") << "defaults" << false << true << false;
        QTest::newRow("typed, then written and confirmed") << "write" << false << false << true;
        QTest::newRow("typed, then the device read") << "read" << false << false << true;
        QTest::newRow("typed, write not kept by the device")
            << "writeLost" << false << true << false;
    }
    void closingWithUnwrittenSettingsAsks() {
        QFETCH(QString, change);
        QFETCH(bool, answer);
        QFETCH(bool, asked);
        QFETCH(bool, closed);
        Tool tool;
        QTRY_VERIFY(tool.Controller->PortOpen());
        tool.Window.show();
        if (change == QLatin1String("box")) {
            tool.Click("unbalanceCheck");
        } else if (change == QLatin1String("defaults")) {
            tool.Device.SetRegister(0x0153, 50);
            tool.Click("readRealtimeButton");
            QTRY_COMPARE(tool.Text("ctRatioEdit"), QStringLiteral("50"));
            tool.Click("stopRunButton");
            tool.Click("restoreDefaultsButton");
        } else if (change == QLatin1String("typeInteger")) {
            tool.Find<QLineEdit>("overVoltageTimeEdit")->setText(QStringLiteral("77"));
        } else if (!change.isEmpty()) {
            tool.Find<QLineEdit>("ratedCurrentEdit")->setText(QStringLiteral("12.5"));
        }
        if (change == QLatin1String("write") || change == QLatin1String("writeLost")) {
            if (change == QLatin1String("writeLost")) {
                tool.Device.IgnoreWritesAt(0x5457);
            }
            tool.Click("writeSettingsButton");
            QTRY_COMPARE(tool.Dialogs.Messages.size(), 1);
            tool.Dialogs.Questions.clear();
        } else if (change == QLatin1String("read")) {
            tool.Click("readRealtimeButton");
            QTRY_COMPARE(tool.Text("ratedCurrentEdit"), QStringLiteral("15.0"));
            tool.Click("stopRunButton");
        }
        tool.Settle();
        tool.Dialogs.YesNoAnswer = answer;
        tool.Window.close();
        QCOMPARE(tool.Dialogs.Questions.size(), asked ? 1 : 0);
        if (asked) {
            QVERIFY(tool.Dialogs.Questions[0].contains(QStringLiteral("尚未写入设备")));
        }
        QCOMPARE(tool.Window.isVisible(), !closed);
        QCOMPARE(tool.Port.IsPortOpen(), !closed);
    }

    void closingWhilePollingStopsTheTimerThenClosesThePort() {
        Tool tool;
        QTRY_VERIFY(tool.Controller->PortOpen());
        tool.Window.show();
        tool.Click("readRealtimeButton");
        QTRY_VERIFY(tool.Controller->Worker().IsPolling());
        tool.Window.close();
        QVERIFY(!tool.Controller->Worker().IsPolling());
        QVERIFY(!tool.Port.IsPortOpen());
        QCOMPARE(tool.Port.CloseCount(), 1);
    }

    // The window closed while an operation waits on the line (held in its `pass`th wait): the
    // operation ends there, sends nothing more, shows nothing more, and the worker has ended
    // and closed the port within a second. A calibration is a single frame: it is queued behind
    // a read held on the line and never sent.
    void closingDuringAnOperationEndsIt_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("pass");
        QTest::newRow("start sequence, settings read") << "read" << 1;
        QTest::newRow("start sequence, live reads") << "read" << 3;
        QTest::newRow("poll tick") << "read" << 12;
        QTest::newRow("event read, count") << "events" << 0;
        QTest::newRow("settings write, first group") << "write" << 0;
        QTest::newRow("settings write, start mode read back") << "write" << 3;
        QTest::newRow("settings write, read back") << "write" << 7;
        QTest::newRow("calibration queued") << "calibrate" << 0;
    }
    void closingDuringAnOperationEndsIt() {
        QFETCH(QString, operation);
        QFETCH(int, pass);
        Tool tool;
        QTRY_VERIFY(tool.Controller->PortOpen());
        tool.Window.show();
        tool.Settle();
        tool.TakeSent();
        tool.Dialogs.YesNoAnswer = true;
        tool.HoldInWait(pass);
        if (operation == "read") {
            tool.Click("readRealtimeButton");
        } else if (operation == "events" || operation == "calibrate") {
            tool.Click("eventRecordsButton");
        } else {
            tool.Click("writeSettingsButton");
        }
        QVERIFY(tool.WaitUntilHeld());
        if (operation == "calibrate") {
            tool.Controller->Worker().Post([&tool](CDeviceContext& ctx) {
                CalibrateCurrent(ctx, {LineFit{1.0, 0}, LineFit{1.0, 0}, LineFit{1.0, 0}}, {});
            });
        }
        const size_t sent = tool.Port.Sent().size();
        const uint64_t at = tool.Clock.Elapsed();
        QElapsedTimer closing;
        closing.start();
        tool.Window.close();
        QVERIFY2(closing.elapsed() < 1000, qPrintable(QString::number(closing.elapsed())));
        QVERIFY(!tool.Port.IsPortOpen());  // the worker's last job ran: it has ended
        QCOMPARE(tool.Port.Sent().size(), sent);
        QVERIFY(tool.Clock.Elapsed() - at < 1000);
        QCoreApplication::processEvents();
        QCOMPARE(tool.Dialogs.EventRecordsShown, 0);
        QCOMPARE(tool.Dialogs.Messages, QStringList());
    }
};

QTEST_MAIN(TestMainController)
#include "TestMainController.moc"
