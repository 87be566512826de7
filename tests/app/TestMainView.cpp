// The main window and the pieces it is built from: bound values in both directions, refused
// integers, the requests its buttons, menu items, arrows and check boxes make, lamps, closing
// and accessibility; the lamp colours and the usage notes.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>
#include <variant>

#include "app/HelpDlg.h"
#include "app/IndicatorLamp.h"
#include "app/MotorProtectorDlg.h"
#include "relay/Relay.h"
#include "support/ScriptedDialogs.h"
#include "support/Widgets.h"

Q_DECLARE_METATYPE(mp::Lamp)

using namespace mp;
using namespace mp::test;

namespace {

using Field = std::variant<std::string*, int32_t*>;
using Bound = std::vector<std::pair<QString, Field>>;

// Every bound control by object name with the field it shows: texts and integers.
Bound BoundFields(MainFields& f) {
    ProtectionSettings& s = f.Settings;
    Bound table = {{"ctRatioEdit", &s.CtRatio},
                   {"ratedCurrentEdit", &s.RatedCurrent},
                   {"ratedVoltageEdit", &s.RatedVoltage},
                   {"startTimeEdit", &s.StartTime},
                   {"startModeDisplay", &s.StartModeText},
                   {"startModeCombo", &f.StartModeSelection},
                   {"lockedRotorMultipleEdit", &s.LockedRotorMultiple},
                   {"lockedRotorTimeEdit", &s.LockedRotorTime},
                   {"definiteTimeMultipleEdit", &s.DefiniteTimeMultiple},
                   {"definiteTimeTimeEdit", &s.DefiniteTimeTime},
                   {"unbalancePercentEdit", &s.UnbalancePercent},
                   {"unbalanceTimeEdit", &s.UnbalanceTime},
                   {"curveCombo", &s.CurveSelection},
                   {"phaseLossTimeEdit", &s.PhaseLossTime},
                   {"pwmPhaseCombo", &s.PwmPhase},
                   {"breakingCurrentEdit", &s.BreakingCurrent},
                   {"overVoltagePercentEdit", &s.OverVoltagePercent},
                   {"overVoltageTimeEdit", &s.OverVoltageTime},
                   {"underVoltagePercentEdit", &s.UnderVoltagePercent},
                   {"underVoltageTimeEdit", &s.UnderVoltageTime}};
    for (int i = 0; i < 3; ++i) {
        table.push_back({QStringLiteral("current%1Edit").arg(QChar('A' + i)), &f.Live.Currents[i]});
        table.push_back({QStringLiteral("voltage%1Edit").arg(QChar('A' + i)), &f.Live.Voltages[i]});
    }
    const char* columns[] = {"X1", "Y1", "X2", "Y2"};
    for (int row = 0; row < kCalibrationRowCount; ++row) {
        for (int column = 0; column < 4; ++column) {
            table.push_back({QStringLiteral("calib%1Edit%2").arg(columns[column]).arg(row),
                             &f.Grid.Points[row][column]});
        }
        table.push_back({QStringLiteral("calibAEdit%1").arg(row), &f.Grid.A[row]});
        table.push_back({QStringLiteral("calibBEdit%1").arg(row), &f.Grid.B[row]});
    }
    return table;
}

QString FieldText(const Field& field) {
    if (auto* text = std::get_if<std::string*>(&field)) {
        return QString::fromStdString(**text);
    }
    return QString::number(*std::get<int32_t*>(field));
}

QString ControlText(QWidget* control) {
    auto* combo = qobject_cast<QComboBox*>(control);
    return combo ? combo->currentText() : qobject_cast<QLineEdit*>(control)->text();
}

void SetControlText(QWidget* control, const QString& text) {
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        combo->setEditText(text);
    } else {
        qobject_cast<QLineEdit*>(control)->setText(text);
    }
}

const char* const kProtectionChecks[] = {
    "shortCircuitCheck", "lockedRotorCheck", "definiteTimeCheck",
    "unbalanceCheck",    "inverseTimeCheck", "startTimeoutCheck",
    "phaseLossCheck",    "overVoltageCheck", "underVoltageCheck"};

}  // namespace

class CMainViewTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        Dialogs_ = CScriptedDialogs();
        Window_ = std::make_unique<CMotorProtectorDlg>(Relay_, Dialogs_);
    }
    void cleanup() { Window_.reset(); }

    // Each field a value of its own: shown in its control, and taken back from it.
    void eachControlShowsAndTakesItsOwnField() {
        const Bound table = BoundFields(Window_->Fields());
        QStringList expected;
        for (size_t k = 0; k < table.size(); ++k) {
            if (auto* text = std::get_if<std::string*>(&table[k].second)) {
                **text = "值 " + std::to_string(k);
            } else {
                *std::get<int32_t*>(table[k].second) = -7000 - static_cast<int>(k);
            }
            expected << table[k].first + '=' + FieldText(table[k].second);
        }
        Window_->ShowFields();
        QStringList shown, typed, taken;
        for (const auto& [name, field] : table) {
            QWidget* control = Child<QWidget>(*Window_, name);
            shown << name + '=' + ControlText(control);
            const bool text = std::holds_alternative<std::string*>(field);
            const QString value =
                text ? "typed " + FieldText(field) : QString::number(-FieldText(field).toInt());
            // Integers with blanks and a sign, as the operator may type them.
            SetControlText(control, text ? value : " +" + value + ' ');
            typed << name + '=' + value;
        }
        QCOMPARE(shown, expected);
        QVERIFY(Window_->TakeFields());
        for (const auto& [name, field] : table) {
            taken << name + '=' + FieldText(field);
        }
        QCOMPARE(taken, typed);
        QVERIFY(Dialogs_.Messages.isEmpty());
    }

    // The acquisition time and the address the tick read are shown, empty until a tick has
    // run (not 0 as if measured), and never taken back from the screen.
    void readingsAreShownOnly() {
        MainFields& f = Window_->Fields();
        Window_->ShowFields();
        auto* time = Child<QLineEdit>(*Window_, "acquisitionTimeEdit");
        auto* address = Child<QLineEdit>(*Window_, "currentAddressEdit");
        QCOMPARE(time->text(), QString());
        QCOMPARE(address->text(), QString());
        f.Live.AcquisitionTime = 805;
        f.Live.CurrentAddress = 12;
        Window_->ShowFields();
        QCOMPARE(time->text(), QStringLiteral("805"));
        QCOMPARE(address->text(), QStringLiteral("12"));
        time->setText(QStringLiteral("x"));
        QVERIFY(Window_->TakeFields());
        QCOMPARE(f.Live.AcquisitionTime, 805);
    }

    // A refused integer stops the taking where it stands in the exchange order: the control
    // before it is taken, the one after it is not.
    void refusedIntegerStopsTheTaking_data() {
        QTest::addColumn<QStringList>("controls");  // refused, its text, before, after
        QTest::addColumn<QString>("message");       // naming the field by its caption
        QTest::newRow("grid X1 of row A")
            << QStringList{"calibX1Edit0", "12abc", "currentAEdit", "curveCombo"}
            << "A/AB相 X1：请输入一个整数。";
        // An empty field is said to be empty, not to hold no whole number.
        QTest::newRow("breaking current, empty")
            << QStringList{"breakingCurrentEdit", "", "pwmPhaseCombo", "voltageCEdit"}
            << "交流接触器允许分断电流未填写";
        QTest::newRow("breaking current, not whole")
            << QStringList{"breakingCurrentEdit", "12.5", "pwmPhaseCombo", "voltageCEdit"}
            << "交流接触器允许分断电流：请输入一个整数。";
        QTest::newRow("beyond 32 bits")
            << QStringList{"calibY2Edit1", "2147483648", "calibX2Edit1", "calibX1Edit2"}
            << "B/BC相 Y2：请输入一个整数。";
        QTest::newRow("under-voltage, last of all")
            << QStringList{"underVoltagePercentEdit", "-", "underVoltageTimeEdit", ""}
            << "当工作电压低于额定电压的：请输入一个整数。";
    }
    void refusedIntegerStopsTheTaking() {
        QFETCH(QStringList, controls);
        QFETCH(QString, message);
        const QString refused = controls[0], bad = controls[1], before = controls[2],
                      after = controls[3];
        const Bound table = BoundFields(Window_->Fields());
        auto field = [&table](const QString& control) {
            return std::find_if(table.begin(), table.end(),
                                [&control](const auto& entry) { return entry.first == control; })
                ->second;
        };
        Window_->show();
        auto* refusedEdit = Child<QLineEdit>(*Window_, refused);
        refusedEdit->setText(bad);
        SetControlText(Child<QWidget>(*Window_, before), QStringLiteral("42"));
        QString untouched;
        if (!after.isEmpty()) {
            untouched = FieldText(field(after));
            SetControlText(Child<QWidget>(*Window_, after), QStringLiteral("43"));
        }

        QVERIFY(!Window_->TakeFields());
        QCOMPARE(Dialogs_.Messages, QStringList{message});
        QCOMPARE(Window_->focusWidget(), refusedEdit);
        QCOMPARE(refusedEdit->text(), bad);
        QCOMPARE(FieldText(field(before)), QStringLiteral("42"));
        if (!after.isEmpty()) {
            QCOMPARE(FieldText(field(after)), untouched);
        }
    }

    // Every button, menu item and arrow asks for its command or step, once.
    void controlsRequestTheirCommands_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("request");
        const std::pair<const char*, MainCommand> commands[] = {
            {"readRealtimeButton", MainCommand::ReadRealtimeData},
            {"writeSettingsButton", MainCommand::WriteSettings},
            {"stopRunButton", MainCommand::StopRun},
            {"restoreDefaultsButton", MainCommand::RestoreDefaults},
            {"commSettingsButton", MainCommand::ChangeCommParams},
            {"eventRecordsButton", MainCommand::ReadEventRecords},
            {"maintenancePasswordButton", MainCommand::MaintenanceUnlock},
            {"setStartModeButton", MainCommand::SetStartMode},
            {"closeAButton", MainCommand::CloseOutputA},
            {"closeBButton", MainCommand::CloseOutputB},
            {"resetButton", MainCommand::ResetOutputs},
            {"resetCurrentCoefButton", MainCommand::ResetCurrentCoefficients},
            {"readCoefButton", MainCommand::ReadCoefficients},
            {"calibrateCurrentButton", MainCommand::CalibrateCurrent},
            {"pwmOutputButton", MainCommand::SendPwmOutput},
            {"calibrateVoltageButton", MainCommand::CalibrateVoltage},
            {"resetVoltageCoefButton", MainCommand::ResetVoltageCoefficients},
            {"actionReadRealtimeData", MainCommand::ReadRealtimeData},
            {"actionWriteSettings", MainCommand::WriteSettings},
            {"actionStopRun", MainCommand::StopRun},
            {"actionRestoreDefaults", MainCommand::RestoreDefaults},
            {"actionChangeCommParams", MainCommand::ChangeCommParams},
            {"actionCalibrateCurrent", MainCommand::CalibrateCurrent},
            {"actionSetStartMode", MainCommand::SetStartMode},
            {"actionCloseOutputA", MainCommand::CloseOutputA},
            {"actionOpenOutputA", MainCommand::OpenOutputA},
            {"actionCloseOutputB", MainCommand::CloseOutputB},
            {"actionOpenOutputB", MainCommand::OpenOutputB},
            {"actionResetOutputs", MainCommand::ResetOutputs},
            {"actionShowUsageNotes", MainCommand::ShowUsageNotes},
            {"actionReconnect", MainCommand::Reconnect},
        };
        for (const auto& [source, command] : commands) {
            QTest::newRow(source) << source << QStringLiteral("command %1").arg(int(command));
        }
        const char* const steps[] = {"lockedRotorMultiple",  "lockedRotorTime",
                                     "definiteTimeMultiple", "definiteTimeTime",
                                     "unbalancePercent",     "unbalanceTime"};  // StepField order
        for (int field = 0; field < 6; ++field) {
            for (const char* direction : {"Up", "Down"}) {
                const QString arrow = QStringLiteral("%1%2Button").arg(steps[field], direction);
                QTest::newRow(qPrintable(arrow))
                    << arrow << QStringLiteral("step %1 %2").arg(field).arg(direction);
            }
        }
    }
    void controlsRequestTheirCommands() {
        QFETCH(QString, source);
        QFETCH(QString, request);
        for (int command = 0; command <= int(MainCommand::ReadEventRecords); ++command) {
            Window_->SetCommandEnabled(MainCommand(command), true, true);
        }
        QStringList requests;
        connect(Window_.get(), &CMotorProtectorDlg::CommandRequested, this,
                [&](MainCommand command) {
                    requests << QStringLiteral("command %1").arg(int(command));
                });
        connect(
            Window_.get(), &CMotorProtectorDlg::StepRequested, this, [&](StepField field, bool up) {
                requests << QStringLiteral("step %1 %2").arg(int(field)).arg(up ? "Up" : "Down");
            });
        if (auto* action = Window_->findChild<QAction*>(source)) {
            QVERIFY(action->isEnabled());
            action->trigger();
        } else {
            QTest::mouseClick(Child<QAbstractButton>(*Window_, source), Qt::LeftButton);
        }
        QCOMPARE(requests, QStringList{request});
    }

    // The operator's click is reported with the new state already held; showing the fields
    // sets the boxes without reporting anything.
    void protectionClickRunsButShowingDoesNot_data() {
        QTest::addColumn<int>("protection");
        for (int p = 0; p < kProtectionCount; ++p) {
            QTest::newRow(kProtectionChecks[p]) << p;
        }
    }
    void protectionClickRunsButShowingDoesNot() {
        QFETCH(int, protection);
        auto* box = Child<QCheckBox>(*Window_, QString::fromLatin1(kProtectionChecks[protection]));
        QSignalSpy spy(Window_.get(), &CMotorProtectorDlg::ProtectionClicked);
        bool enabledWhenEmitted = false;
        connect(Window_.get(), &CMotorProtectorDlg::ProtectionClicked, this,
                [&](int p, bool) { enabledWhenEmitted = Window_->Fields().Settings.Enabled[p]; });

        QTest::mouseClick(box, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), protection);
        QCOMPARE(spy.at(0).at(1).toBool(), true);
        QVERIFY(enabledWhenEmitted);

        Window_->Fields().Settings.Enabled[protection] = false;
        Window_->ShowFields();
        QVERIFY(!box->isChecked());
        Window_->Fields().Settings.Enabled[protection] = true;
        Window_->ShowFields();
        QVERIFY(box->isChecked());
        QCOMPARE(spy.count(), 1);
    }

    void lampsFollowTheLiveValues() {
        LiveValues& live = Window_->Fields().Live;
        const uint8_t inputs = 0xA5;  // DI1, DI3, DI6, DI8 closed
        for (int k = 0; k < 8; ++k) {
            live.Inputs[k] = (inputs >> k) & 1 ? Lamp::Red : Lamp::Green;
        }
        live.Outputs = {Lamp::Red, Lamp::Green, Lamp::Unknown};
        Window_->ShowFields();
        for (int k = 0; k < 8; ++k) {
            auto* lamp = Child<CIndicatorLamp>(*Window_, QStringLiteral("diLamp%1").arg(k + 1));
            QCOMPARE(lamp->State(), (inputs >> k) & 1 ? Lamp::Red : Lamp::Green);
        }
        QCOMPARE(Child<CIndicatorLamp>(*Window_, "outputALamp")->State(), Lamp::Red);
        QCOMPARE(Child<CIndicatorLamp>(*Window_, "outputBLamp")->State(), Lamp::Green);
        QCOMPARE(Child<CIndicatorLamp>(*Window_, "resetLamp")->State(), Lamp::Unknown);
    }

    void startModeIndex_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("index");
        QTest::newRow("direct") << QStringLiteral("直接起动") << 0;
        QTest::newRow("star-delta") << QStringLiteral("星三角起动") << 2;
        QTest::newRow("unknown") << QStringLiteral("软起动") << -1;
        QTest::newRow("empty") << QString() << -1;
    }
    void startModeIndex() {
        QFETCH(QString, text);
        QFETCH(int, index);
        Child<QComboBox>(*Window_, "startModeCombo")->setEditText(text);
        QCOMPARE(Window_->StartModeIndex(), index);
    }

    void enterAndEscapeLeaveTheWindowOpen() {
        QSignalSpy closing(Window_.get(), &CMotorProtectorDlg::Closing);
        Window_->show();
        auto* edit = Child<QLineEdit>(*Window_, "ctRatioEdit");
        edit->setFocus();
        QTest::keyClicks(edit, "abc");
        QTest::keyClick(edit, Qt::Key_Return);
        QTest::keyClick(edit, Qt::Key_Enter);
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(Window_->isVisible());
        QCOMPARE(closing.count(), 0);
        QVERIFY(Dialogs_.Messages.isEmpty());

        Window_->close();
        Window_->show();
        Window_->close();
        QVERIFY(!Window_->isVisible());
        QCOMPARE(closing.count(), 1);
    }

    void everyControlCanBeNamedByAssistiveTechnology() {
        int inputs = 0;
        QCOMPARE(AccessibilityProblems(*Window_, &inputs), QStringList());
        QVERIFY(inputs >= 50);
        for (CIndicatorLamp* lamp : Window_->findChildren<CIndicatorLamp*>()) {
            QVERIFY2(!lamp->accessibleName().isEmpty(), qPrintable(lamp->objectName()));
            QVERIFY2(!lamp->accessibleDescription().isEmpty(), qPrintable(lamp->objectName()));
        }
        // Every menu item is usable but the current calibration, which waits for the
        // maintenance password like its button.
        QStringList disabled;
        int items = 0;
        for (QAction* menu : Window_->menuBar()->actions()) {
            QVERIFY(!menu->text().isEmpty());
            for (QAction* action : menu->menu()->actions()) {
                if (!action->isEnabled()) {
                    disabled << action->text();
                }
                ++items;
            }
        }
        QCOMPARE(items, 14);
        QCOMPARE(disabled, QStringList{QStringLiteral("额定电流设置")});
        Window_->SetCommandEnabled(MainCommand::CalibrateCurrent, true, true);
        QVERIFY(Child<QAction>(*Window_, "actionCalibrateCurrent")->isEnabled());
        // The link lamp says what it shows; the label beside it keeps its text as its name.
        CLinkLamp* link = Window_->LinkLamp();
        QCOMPARE(link->accessibleName(), QStringLiteral("通讯状态"));
        Window_->SetLinkStatus(LinkState::Unanswered, QStringLiteral("设备无应答 (连续 2 次)"));
        QCOMPARE(link->accessibleDescription(), QStringLiteral("设备无应答 (连续 2 次)"));
        QCOMPARE(Child<QLabel>(*Window_, "linkStatusLabel")->accessibleName(), QString());
        QSignalSpy clicked(link, &CLinkLamp::clicked);
        QTest::mouseClick(link, Qt::LeftButton);
        link->setFocus();
        QTest::keyClick(link, Qt::Key_Space);
        QCOMPARE(clicked.count(), 2);
    }

    void lampColours_data() {
        QTest::addColumn<bool>("round");
        QTest::addColumn<Lamp>("state");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<bool>("stale");
        QTest::newRow("square red") << false << Lamp::Red << QColor(255, 0, 0) << false;
        QTest::newRow("square green") << false << Lamp::Green << QColor(0, 255, 0) << false;
        QTest::newRow("round red") << true << Lamp::Red << QColor(255, 0, 0) << false;
        QTest::newRow("round green") << true << Lamp::Green << QColor(0, 204, 51) << false;
        QTest::newRow("unknown") << true << Lamp::Unknown << QColor(160, 160, 160) << false;
        // Half way to the unknown grey.
        QTest::newRow("stale square red") << false << Lamp::Red << QColor(207, 80, 80) << true;
        QTest::newRow("stale round green") << true << Lamp::Green << QColor(80, 182, 105) << true;
    }
    void lampColours() {
        QFETCH(bool, round);
        QFETCH(Lamp, state);
        QFETCH(QColor, colour);
        QFETCH(bool, stale);
        CIndicatorLamp lamp;
        lamp.SetRound(round);
        lamp.SetState(state);
        lamp.SetStale(stale);
        // The painted lamp carries the colour (the round one has a highlight toward its upper
        // left, so look at its lower right part).
        const QColor painted =
            lamp.grab().toImage().pixelColor(round ? QPoint(13, 13) : QPoint(10, 10));
        QVERIFY2(qAbs(painted.red() - colour.red()) < 40 &&
                     qAbs(painted.green() - colour.green()) < 40 &&
                     qAbs(painted.blue() - colour.blue()) < 40,
                 qPrintable(painted.name()));
    }

    void usageNotesCloseByKeys_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Escape") << int(Qt::Key_Escape);
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
    }
    void usageNotesCloseByKeys() {
        QFETCH(int, key);
        CHelpDlg notes;
        notes.show();
        QTest::keyClick(&notes, Qt::Key(key));
        QVERIFY(!notes.isVisible());
    }

private:
    CScriptedDialogs Dialogs_;
    CRelay Relay_;
    std::unique_ptr<CMotorProtectorDlg> Window_;
};

QTEST_MAIN(CMainViewTest)
#include "TestMainView.moc"
