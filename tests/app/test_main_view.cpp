// The main window: bound values in both directions, refused integers, the polling lock,
// the maintenance buttons, commands, steps, protection clicks, lamps, closing and
// accessibility.

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>
#include <functional>

#include "app/DialogService.h"
#include "app/IndicatorLamp.h"
#include "app/MotorProtectorApp.h"
#include "app/MotorProtectorDlg.h"

using namespace mp;

namespace {

class CRecordingDialogs : public IDialogService {
public:
    void Inform(QWidget*, const QString& text) override { Messages << text; }
    bool AskYesNo(QWidget*, const QString&) override { return false; }
    void ShowUsageNotes(QWidget*) override {}
    std::optional<QString> AskPassword(QWidget*) override { return std::nullopt; }
    bool EditCommParams(QWidget*, CommParamValues&) override { return false; }
    void ShowEventRecords(QWidget*, const EventRecordTexts&) override {}
    QStringList Messages;
};

template <class T>
T* Find(QWidget& root, const QString& name) {
    T* child = root.findChild<T*>(name);
    if (child == nullptr) {
        qWarning("widget %s is missing", qPrintable(name));
    }
    return child;
}

QString ControlText(QWidget* control) {
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        return combo->currentText();
    }
    return qobject_cast<QLineEdit*>(control)->text();
}

void SetControlText(QWidget* control, const QString& text) {
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        combo->setEditText(text);
    } else {
        qobject_cast<QLineEdit*>(control)->setText(text);
    }
}

// Which field each control shows; integers are the fields of the integer controls.
struct Bound {
    QString Control;
    std::function<std::string&(MainFields&)> Text;
    std::function<int32_t&(MainFields&)> Number;
};

std::vector<Bound> BoundTable() {
    std::vector<Bound> table;
    auto text = [&table](const char* name, std::function<std::string&(MainFields&)> field) {
        table.push_back({QString::fromLatin1(name), std::move(field), nullptr});
    };
    auto number = [&table](const QString& name, std::function<int32_t&(MainFields&)> field) {
        table.push_back({name, nullptr, std::move(field)});
    };
    text("ctRatioEdit", [](MainFields& f) -> std::string& { return f.Settings.CtRatio; });
    text("ratedCurrentEdit", [](MainFields& f) -> std::string& { return f.Settings.RatedCurrent; });
    text("ratedVoltageEdit", [](MainFields& f) -> std::string& { return f.Settings.RatedVoltage; });
    text("startTimeEdit", [](MainFields& f) -> std::string& { return f.Settings.StartTime; });
    text("startModeDisplay",
         [](MainFields& f) -> std::string& { return f.Settings.StartModeText; });
    text("startModeCombo", [](MainFields& f) -> std::string& { return f.StartModeSelection; });
    text("lockedRotorMultipleEdit",
         [](MainFields& f) -> std::string& { return f.Settings.LockedRotorMultiple; });
    text("lockedRotorTimeEdit",
         [](MainFields& f) -> std::string& { return f.Settings.LockedRotorTime; });
    text("definiteTimeMultipleEdit",
         [](MainFields& f) -> std::string& { return f.Settings.DefiniteTimeMultiple; });
    text("definiteTimeTimeEdit",
         [](MainFields& f) -> std::string& { return f.Settings.DefiniteTimeTime; });
    text("unbalancePercentEdit",
         [](MainFields& f) -> std::string& { return f.Settings.UnbalancePercent; });
    text("unbalanceTimeEdit",
         [](MainFields& f) -> std::string& { return f.Settings.UnbalanceTime; });
    text("curveCombo", [](MainFields& f) -> std::string& { return f.Settings.CurveSelection; });
    text("phaseLossTimeEdit",
         [](MainFields& f) -> std::string& { return f.Settings.PhaseLossTime; });
    text("pwmPhaseCombo", [](MainFields& f) -> std::string& { return f.Settings.PwmPhase; });
    number(QStringLiteral("breakingCurrentEdit"),
           [](MainFields& f) -> int32_t& { return f.Settings.BreakingCurrent; });
    number(QStringLiteral("overVoltagePercentEdit"),
           [](MainFields& f) -> int32_t& { return f.Settings.OverVoltagePercent; });
    number(QStringLiteral("overVoltageTimeEdit"),
           [](MainFields& f) -> int32_t& { return f.Settings.OverVoltageTime; });
    number(QStringLiteral("underVoltagePercentEdit"),
           [](MainFields& f) -> int32_t& { return f.Settings.UnderVoltagePercent; });
    number(QStringLiteral("underVoltageTimeEdit"),
           [](MainFields& f) -> int32_t& { return f.Settings.UnderVoltageTime; });
    number(QStringLiteral("acquisitionTimeEdit"),
           [](MainFields& f) -> int32_t& { return f.Live.AcquisitionTime; });
    number(QStringLiteral("currentAddressEdit"),
           [](MainFields& f) -> int32_t& { return f.Live.CurrentAddress; });
    const char* phases = "ABC";
    for (int i = 0; i < 3; ++i) {
        table.push_back({QStringLiteral("current%1Edit").arg(phases[i]),
                         [i](MainFields& f) -> std::string& { return f.Live.Currents[i]; },
                         nullptr});
        table.push_back({QStringLiteral("voltage%1Edit").arg(phases[i]),
                         [i](MainFields& f) -> std::string& { return f.Live.Voltages[i]; },
                         nullptr});
    }
    const char* columns[] = {"X1", "Y1", "X2", "Y2"};
    for (int row = 0; row < kCalibrationRowCount; ++row) {
        for (int column = 0; column < 4; ++column) {
            number(QStringLiteral("calib%1Edit%2").arg(columns[column]).arg(row),
                   [row, column](MainFields& f) -> int32_t& { return f.Grid.Points[row][column]; });
        }
        table.push_back({QStringLiteral("calibAEdit%1").arg(row),
                         [row](MainFields& f) -> std::string& { return f.Grid.A[row]; }, nullptr});
        table.push_back({QStringLiteral("calibBEdit%1").arg(row),
                         [row](MainFields& f) -> std::string& { return f.Grid.B[row]; }, nullptr});
    }
    return table;
}

const char* const kProtectionChecks[] = {
    "shortCircuitCheck", "lockedRotorCheck", "definiteTimeCheck",
    "unbalanceCheck",    "inverseTimeCheck", "startTimeoutCheck",
    "phaseLossCheck",    "overVoltageCheck", "underVoltageCheck"};

}  // namespace

Q_DECLARE_METATYPE(mp::MainCommand)
Q_DECLARE_METATYPE(mp::StepField)

class CMainViewTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        Dialogs_ = CRecordingDialogs();
        Window_ = std::make_unique<CMotorProtectorDlg>(Dialogs_);
    }
    void cleanup() { Window_.reset(); }

    void eachControlShowsAndTakesItsOwnField_data() {
        QTest::addColumn<int>("entry");
        const auto table = BoundTable();
        for (std::size_t i = 0; i < table.size(); ++i) {
            QTest::newRow(qPrintable(table[i].Control)) << int(i);
        }
    }
    void eachControlShowsAndTakesItsOwnField() {
        QFETCH(int, entry);
        const Bound bound = BoundTable()[entry];
        auto* control = Find<QWidget>(*Window_, bound.Control);
        QVERIFY(control);
        MainFields& fields = Window_->Fields();
        if (bound.Text) {
            bound.Text(fields) = "shown-" + bound.Control.toStdString();
            Window_->ShowFields();
            QCOMPARE(ControlText(control), QStringLiteral("shown-") + bound.Control);
            SetControlText(control, QStringLiteral("typed 值"));
            QVERIFY(Window_->TakeFields());
            QCOMPARE(QString::fromStdString(bound.Text(fields)), QStringLiteral("typed 值"));
        } else {
            bound.Number(fields) = -7000 - entry;
            Window_->ShowFields();
            QCOMPARE(ControlText(control), QString::number(-7000 - entry));
            SetControlText(control, QStringLiteral(" +815 "));
            QVERIFY(Window_->TakeFields());
            QCOMPARE(bound.Number(fields), 815);
        }
        QVERIFY(Dialogs_.Messages.isEmpty());
    }

    void dropDownSelectsTheMatchingItem() {
        auto* curve = Find<QComboBox>(*Window_, QStringLiteral("curveCombo"));
        QVERIFY(curve);
        QCOMPARE(curve->count(), 13);
        Window_->Fields().Settings.CurveSelection = "125";
        Window_->ShowFields();
        QCOMPARE(curve->currentIndex(), 6);
        Window_->Fields().Settings.CurveSelection = "12";  // no item: shown as typed
        Window_->ShowFields();
        QCOMPARE(curve->currentText(), QStringLiteral("12"));
    }

    // A refused integer stops the taking where it stands in the exchange order.
    void refusedIntegerStopsTheTaking_data() {
        QTest::addColumn<QString>("refused");
        QTest::addColumn<QString>("bad");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("grid X1 of row A") << "calibX1Edit0"
                                          << "12abc"
                                          << "currentAEdit"
                                          << "curveCombo";
        QTest::newRow("breaking current") << "breakingCurrentEdit"
                                          << ""
                                          << "pwmPhaseCombo"
                                          << "voltageCEdit";
        QTest::newRow("under-voltage time") << "underVoltageTimeEdit"
                                            << "1.5"
                                            << "overVoltageTimeEdit"
                                            << "underVoltagePercentEdit";
        QTest::newRow("beyond 32 bits") << "calibY2Edit1"
                                        << "2147483648"
                                        << "calibX2Edit1"
                                        << "calibX1Edit2";
        QTest::newRow("address, last of all") << "currentAddressEdit"
                                              << "-"
                                              << "ratedVoltageEdit"
                                              << "";
    }
    void refusedIntegerStopsTheTaking() {
        QFETCH(QString, refused);
        QFETCH(QString, bad);
        QFETCH(QString, before);
        QFETCH(QString, after);
        const auto table = BoundTable();
        auto field = [&table](const QString& control) {
            return *std::find_if(table.begin(), table.end(),
                                 [&control](const Bound& b) { return b.Control == control; });
        };
        auto* refusedEdit = Find<QLineEdit>(*Window_, refused);
        auto* beforeControl = Find<QWidget>(*Window_, before);
        QVERIFY(refusedEdit && beforeControl);
        Window_->show();
        refusedEdit->setText(bad);
        SetControlText(beforeControl, QStringLiteral("42"));
        QWidget* afterControl = nullptr;
        if (!after.isEmpty()) {
            afterControl = Find<QWidget>(*Window_, after);
            QVERIFY(afterControl);
            SetControlText(afterControl, QStringLiteral("43"));
        }

        QVERIFY(!Window_->TakeFields());
        QCOMPARE(Dialogs_.Messages, QStringList{QStringLiteral("请输入一个整数。")});
        QCOMPARE(Window_->focusWidget(), refusedEdit);
        QCOMPARE(refusedEdit->text(), bad);
        MainFields& fields = Window_->Fields();
        const Bound taken = field(before);
        if (taken.Text) {
            QCOMPARE(taken.Text(fields), std::string("42"));
        } else {
            QCOMPARE(taken.Number(fields), 42);
        }
        if (afterControl != nullptr) {
            const Bound kept = field(after);
            if (kept.Text) {
                QCOMPARE(kept.Text(fields), std::string());
            } else {
                QCOMPARE(kept.Number(fields), 0);
            }
        }
    }

    void pollingLock_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("enabledWhilePolling");
        QTest::newRow("read") << "readRealtimeButton" << false;
        QTest::newRow("write") << "writeSettingsButton" << false;
        QTest::newRow("comm settings") << "commSettingsButton" << false;
        QTest::newRow("set start mode") << "setStartModeButton" << false;
        QTest::newRow("start-mode list") << "startModeCombo" << false;
        QTest::newRow("start-mode display") << "startModeDisplay" << true;
        QTest::newRow("stop stays") << "stopRunButton" << true;
        QTest::newRow("close A stays") << "closeAButton" << true;
    }
    void pollingLock() {
        QFETCH(QString, control);
        QFETCH(bool, enabledWhilePolling);
        auto* widget = Find<QWidget>(*Window_, control);
        QVERIFY(widget);
        const bool lockedOnly =
            control != QLatin1String("stopRunButton") && control != QLatin1String("closeAButton");
        const bool idle = lockedOnly ? !enabledWhilePolling : true;
        QCOMPARE(widget->isEnabled(), idle);
        Window_->SetPollingLock(true);
        QCOMPARE(widget->isEnabled(), enabledWhilePolling);
        Window_->SetPollingLock(false);
        QCOMPARE(widget->isEnabled(), idle);
    }

    void maintenanceButtonsWaitForTheUnlock() {
        const QStringList maintenance = {"resetCurrentCoefButton", "readCoefButton",
                                         "calibrateCurrentButton", "pwmOutputButton",
                                         "calibrateVoltageButton", "resetVoltageCoefButton"};
        for (const QString& name : maintenance) {
            auto* button = Find<QPushButton>(*Window_, name);
            QVERIFY(button);
            QVERIFY2(!button->isEnabled(), qPrintable(name));
        }
        auto* unlock = Find<QPushButton>(*Window_, QStringLiteral("maintenancePasswordButton"));
        auto* notes = Find<QPushButton>(*Window_, QStringLiteral("usageNotesButton"));
        QVERIFY(unlock && notes);
        QVERIFY(unlock->isEnabled());
        Window_->EnableMaintenanceButtons();
        for (const QString& name : maintenance) {
            QVERIFY2(Find<QPushButton>(*Window_, name)->isEnabled(), qPrintable(name));
        }
        Window_->SetPollingLock(true);
        Window_->SetPollingLock(false);
        QVERIFY(!notes->isEnabled());
        for (const char* column : {"X1", "Y1", "X2", "Y2"}) {
            QVERIFY(!Find<QLineEdit>(*Window_, QStringLiteral("calib%1Edit3").arg(column))
                         ->isEnabled());
            QVERIFY(
                Find<QLineEdit>(*Window_, QStringLiteral("calib%1Edit0").arg(column))->isEnabled());
        }
    }

    void buttonsAndMenuItemsRequestTheirCommands_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<MainCommand>("command");
        const std::pair<const char*, MainCommand> rows[] = {
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
        };
        for (const auto& [source, command] : rows) {
            QTest::newRow(source) << QString::fromLatin1(source) << command;
        }
    }
    void buttonsAndMenuItemsRequestTheirCommands() {
        QFETCH(QString, source);
        QFETCH(MainCommand, command);
        Window_->EnableMaintenanceButtons();
        QSignalSpy spy(Window_.get(), &CMotorProtectorDlg::CommandRequested);
        if (source.startsWith(QLatin1String("action"))) {
            auto* action = Window_->findChild<QAction*>(source);
            QVERIFY2(action, qPrintable(source));
            QVERIFY(action->isEnabled());
            action->trigger();
        } else {
            auto* button = Find<QPushButton>(*Window_, source);
            QVERIFY(button);
            QTest::mouseClick(button, Qt::LeftButton);
        }
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<MainCommand>(), command);
    }

    void arrowsRequestSteps_data() {
        QTest::addColumn<QString>("arrow");
        QTest::addColumn<StepField>("field");
        QTest::addColumn<bool>("up");
        const std::pair<const char*, StepField> fields[] = {
            {"lockedRotorMultiple", StepField::LockedRotorMultiple},
            {"lockedRotorTime", StepField::LockedRotorTime},
            {"definiteTimeMultiple", StepField::DefiniteTimeMultiple},
            {"definiteTimeTime", StepField::DefiniteTimeTime},
            {"unbalancePercent", StepField::UnbalancePercent},
            {"unbalanceTime", StepField::UnbalanceTime},
        };
        for (const auto& [base, field] : fields) {
            for (const bool up : {true, false}) {
                const QString name = QString::fromLatin1(base) + (up ? "UpButton" : "DownButton");
                QTest::newRow(qPrintable(name)) << name << field << up;
            }
        }
    }
    void arrowsRequestSteps() {
        QFETCH(QString, arrow);
        QFETCH(StepField, field);
        QFETCH(bool, up);
        auto* button = Find<QToolButton>(*Window_, arrow);
        QVERIFY(button);
        QSignalSpy spy(Window_.get(), &CMotorProtectorDlg::StepRequested);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).value<StepField>(), field);
        QCOMPARE(spy.at(0).at(1).toBool(), up);
    }

    void protectionClickRunsButShowingDoesNot_data() {
        QTest::addColumn<int>("protection");
        for (int p = 0; p < kProtectionCount; ++p) {
            QTest::newRow(kProtectionChecks[p]) << p;
        }
    }
    void protectionClickRunsButShowingDoesNot() {
        QFETCH(int, protection);
        auto* box = Find<QCheckBox>(*Window_, QString::fromLatin1(kProtectionChecks[protection]));
        QVERIFY(box);
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
            auto* lamp = Find<CIndicatorLamp>(*Window_, QStringLiteral("diLamp%1").arg(k + 1));
            QVERIFY(lamp);
            QVERIFY(!lamp->IsRound());
            const bool red = (inputs >> k) & 1;
            QCOMPARE(lamp->Colour(), red ? QColor(255, 0, 0) : QColor(0, 255, 0));
            QCOMPARE(lamp->accessibleName(), QStringLiteral("DI%1").arg(k + 1));
        }
        auto* outputA = Find<CIndicatorLamp>(*Window_, QStringLiteral("outputALamp"));
        auto* outputB = Find<CIndicatorLamp>(*Window_, QStringLiteral("outputBLamp"));
        auto* reset = Find<CIndicatorLamp>(*Window_, QStringLiteral("resetLamp"));
        QVERIFY(outputA && outputB && reset);
        QVERIFY(outputA->IsRound());
        QCOMPARE(outputA->Colour(), QColor(255, 0, 0));
        QCOMPARE(outputB->Colour(), QColor(0, 204, 51));
        QCOMPARE(reset->State(), Lamp::Unknown);
        QVERIFY(outputA->accessibleDescription() != outputB->accessibleDescription());
        QVERIFY(reset->accessibleDescription() != outputB->accessibleDescription());
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
        auto* combo = Find<QComboBox>(*Window_, QStringLiteral("startModeCombo"));
        QVERIFY(combo);
        combo->setEditText(text);
        QCOMPARE(Window_->StartModeIndex(), index);
    }

    void statusBarShowsTheBannerThenTheGivenText() {
        QCOMPARE(Window_->StatusText(),
                 QStringLiteral("<------Zantor 公司网址：www.quellar.example------>"));
        Window_->SetStatusText(QStringLiteral("读实时数据..."));
        QCOMPARE(Window_->StatusText(), QStringLiteral("读实时数据..."));
        auto* welcome = Find<QLabel>(*Window_, QStringLiteral("welcomeLabel"));
        QVERIFY(welcome);
        QCOMPARE(welcome->text(), QStringLiteral(" 欢迎使用智能马达保护控制器演示软件-Quellar"));
    }

    void enterAndEscapeLeaveTheWindowOpen() {
        QSignalSpy closing(Window_.get(), &CMotorProtectorDlg::Closing);
        Window_->show();
        auto* edit = Find<QLineEdit>(*Window_, QStringLiteral("ctRatioEdit"));
        QVERIFY(edit);
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
        QStringList inputNames;
        const auto inputs = Window_->findChildren<QWidget*>();
        for (QWidget* widget : inputs) {
            const bool input = (qobject_cast<QLineEdit*>(widget) &&
                                !qobject_cast<QComboBox*>(widget->parentWidget())) ||
                               qobject_cast<QComboBox*>(widget);
            const bool lamp = qobject_cast<CIndicatorLamp*>(widget);
            if (!input && !lamp) {
                continue;
            }
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
            QVERIFY(accessible);
            const QString name = accessible->text(QAccessible::Name);
            QVERIFY2(!name.isEmpty(), qPrintable(widget->objectName()));
            if (input) {
                QVERIFY2(!inputNames.contains(name), qPrintable(name));
                inputNames << name;
            } else {
                QVERIFY2(!widget->accessibleDescription().isEmpty(), qPrintable(name));
            }
        }
        QVERIFY(inputNames.size() >= 50);
        for (QAbstractButton* button : Window_->findChildren<QAbstractButton*>()) {
            if (button->objectName().startsWith(QLatin1String("qt_"))) {
                continue;  // the menu bar's own overflow button
            }
            QVERIFY2(!button->text().isEmpty(), qPrintable(button->objectName()));
        }
        const auto menus = Window_->menuBar()->actions();
        QCOMPARE(menus.size(), 3);
        int items = 0;
        for (QAction* menuAction : menus) {
            QMenu* menu = menuAction->menu();
            QVERIFY(menu);
            QVERIFY(!menu->title().isEmpty());
            for (QAction* action : menu->actions()) {
                QVERIFY(!action->text().isEmpty());
                QVERIFY(action->isEnabled());
                ++items;
            }
        }
        QCOMPARE(items, 13);
    }

    // With the program's own font and colours every caption fits and the window fits a
    // 1024 x 768 screen with its frame.
    void layoutFitsTheScreenWithoutClipping() {
        auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
        CMotorProtectorApp::ApplyWindowFont(*app);
        CMotorProtectorApp::ApplyWindowColours(*app);
        CMotorProtectorDlg window(Dialogs_);
        window.show();
        QVERIFY(window.width() <= 1024);
        QVERIFY(window.height() <= 768 - 40);
        QCOMPARE(window.minimumSize(), window.maximumSize());
        for (QWidget* widget : window.findChildren<QWidget*>()) {
            // Texts that could be cut: captions, buttons, check boxes (the arrow buttons
            // carry no visible text).
            const bool captioned = qobject_cast<QLabel*>(widget) ||
                                   qobject_cast<QPushButton*>(widget) ||
                                   qobject_cast<QCheckBox*>(widget);
            if (!widget->isVisible() || !captioned) {
                continue;
            }
            QVERIFY2(widget->width() >= widget->minimumSizeHint().width(),
                     qPrintable(widget->objectName()));
            QVERIFY2(widget->height() >= widget->minimumSizeHint().height(),
                     qPrintable(widget->objectName()));
        }
    }

private:
    CRecordingDialogs Dialogs_;
    std::unique_ptr<CMotorProtectorDlg> Window_;
};

QTEST_MAIN(CMainViewTest)
#include "test_main_view.moc"
