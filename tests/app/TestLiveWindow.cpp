// The window while it talks to the device: the read command locks at once and cannot be given
// twice, a stop always wins, nothing the operator does during a read acts on values the read is
// about to replace, a box click keeps typed text, and the status text reaches assistive
// technology; a value no read has given says so and never shows as a measurement.

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QtTest>
#include <functional>

#include "app/IndicatorLamp.h"
#include "support/DeviceRig.h"
#include "support/WindowRig.h"

using namespace mp;
using mp::test::CWindowRig;

namespace {

// A rig's action, given by name in the tables.
using Action = std::function<void(CWindowRig&)>;

const std::vector<uint8_t> kBlockARequest = test::ReadFrame(1, 0x0150, 16);

int CountOf(const std::vector<std::vector<uint8_t>>& frames, const std::vector<uint8_t>& frame) {
    return static_cast<int>(std::count(frames.begin(), frames.end(), frame));
}

int WritesIn(const std::vector<std::vector<uint8_t>>& frames) {
    return static_cast<int>(std::count_if(frames.begin(), frames.end(), [](const auto& f) {
        return f.size() > 1 && (f[1] == 0x10 || f[1] == 0x05);
    }));
}

std::vector<uint16_t> SettingsRegisters(const CSimulatedDevice& device) {
    std::vector<uint16_t> registers;
    for (uint16_t r = 0x0150; r <= 0x0162; ++r) {
        registers.push_back(device.Register(r));
    }
    return registers;
}

}  // namespace

Q_DECLARE_METATYPE(Action)

class TestLiveWindow : public QObject {
    Q_OBJECT

private slots:
    // Stop given while the start sequence waits for a reply (after `pass` waits): the tool is
    // idle, unlocked, shows the stop, and nothing more reaches the line.
    void stopDuringTheStartSequenceWins_data() {
        QTest::addColumn<int>("pass");
        QTest::newRow("in block A's wait") << 0;
        QTest::newRow("in block B's wait") << 2;
        QTest::newRow("in the currents' wait") << 4;
        QTest::newRow("in block C's wait") << 11;
    }
    void stopDuringTheStartSequenceWins() {
        QFETCH(int, pass);
        CWindowRig rig;
        QTRY_VERIFY(rig.Controller->PortOpen());
        rig.HoldInWait(pass);
        rig.Click("readRealtimeButton");
        QVERIFY(rig.WaitUntilHeld());
        QCOMPARE(rig.State(), OperationState::Starting);

        rig.Click("stopRunButton");
        const auto sentBeforeStop = rig.TakeSent();
        rig.Clock.Release();
        QVERIFY(rig.Drain());
        rig.Clock.Advance(10000);
        QVERIFY(rig.Drain());

        QCOMPARE(rig.Status(), QStringLiteral("停止运行..."));
        QCOMPARE(rig.State(), OperationState::Idle);
        QVERIFY(!rig.Controller->Worker().IsPolling());
        for (const char* name : {"readRealtimeButton", "writeSettingsButton", "commSettingsButton",
                                 "setStartModeButton", "startModeCombo"}) {
            QVERIFY2(rig.Enabled(name), name);
        }
        QVERIFY(rig.Find<QAction>("actionReadRealtimeData")->isEnabled());
        QVERIFY(!rig.Window.Busy());
        QVERIFY(!sentBeforeStop.empty());
        QVERIFY(rig.TakeSent().empty());
    }

    // A read queued behind another operation and stopped before it began sends nothing.
    void stopCancelsAQueuedRead() {
        CWindowRig rig;
        QTRY_VERIFY(rig.Controller->PortOpen());
        rig.HoldInWait();
        rig.Click("eventRecordsButton");
        QVERIFY(rig.WaitUntilHeld());
        rig.Trigger("actionReadRealtimeData");
        rig.Click("stopRunButton");
        rig.Clock.Release();
        QVERIFY(rig.Drain());
        QCOMPARE(CountOf(rig.TakeSent(), kBlockARequest), 0);
        QCOMPARE(rig.State(), OperationState::Idle);
        QCOMPARE(rig.Status(), QStringLiteral("停止运行..."));
    }

    // However often read is asked for before the stop, one start sequence runs.
    void readTwiceStartsOnce() {
        CWindowRig rig;
        QTRY_VERIFY(rig.Controller->PortOpen());
        rig.HoldInWait();
        rig.Click("readRealtimeButton");
        QVERIFY(rig.WaitUntilHeld());
        QVERIFY(!rig.Enabled("readRealtimeButton"));
        QVERIFY(!rig.Find<QAction>("actionReadRealtimeData")->isEnabled());
        QVERIFY(rig.Window.Busy());
        rig.Click("readRealtimeButton");
        rig.Trigger("actionReadRealtimeData");
        rig.Controller->Run(
            MainCommand::ReadRealtimeData);  // as a shortcut would, past the disabled controls
        QCOMPARE(rig.Dialogs.Messages.size(), 1);

        rig.Clock.Release();
        QTRY_COMPARE(rig.Status(), QStringLiteral("读实时数据..."));
        QCOMPARE(rig.State(), OperationState::Polling);
        QVERIFY(!rig.Window.Busy());
        rig.Click("stopRunButton");
        QVERIFY(rig.Drain());
        QCOMPARE(CountOf(rig.TakeSent(), kBlockARequest), 1);
    }

    // Everything that would take or change the settings while the read is about to replace
    // them does nothing: the device keeps its settings and the window shows them afterwards.
    void nothingActsOnSettingsAboutToBeReplaced_data() {
        QTest::addColumn<Action>("action");
        QTest::newRow("write button")
            << Action([](CWindowRig& r) { r.Click("writeSettingsButton"); });
        QTest::newRow("write menu")
            << Action([](CWindowRig& r) { r.Trigger("actionWriteSettings"); });
        QTest::newRow("write handler")
            << Action([](CWindowRig& r) { r.Controller->Run(MainCommand::WriteSettings); });
        QTest::newRow("start mode menu")
            << Action([](CWindowRig& r) { r.Trigger("actionSetStartMode"); });
        QTest::newRow("start mode handler")
            << Action([](CWindowRig& r) { r.Controller->Run(MainCommand::SetStartMode); });
        QTest::newRow("defaults button")
            << Action([](CWindowRig& r) { r.Click("restoreDefaultsButton"); });
        QTest::newRow("defaults handler")
            << Action([](CWindowRig& r) { r.Controller->Run(MainCommand::RestoreDefaults); });
        QTest::newRow("arrow") << Action(
            [](CWindowRig& r) { r.Click("unbalancePercentUpButton"); });
        QTest::newRow("arrow handler") << Action(
            [](CWindowRig& r) { emit r.Window.StepRequested(StepField::UnbalancePercent, true); });
        QTest::newRow("box") << Action([](CWindowRig& r) { r.Click("lockedRotorCheck"); });
        QTest::newRow("address change menu")
            << Action([](CWindowRig& r) { r.Trigger("actionChangeCommParams"); });
    }
    void nothingActsOnSettingsAboutToBeReplaced() {
        QFETCH(Action, action);
        CWindowRig rig;
        QTRY_VERIFY(rig.Controller->PortOpen());
        rig.Dialogs.YesNoAnswer = true;
        rig.Dialogs.CommParamsAnswer = [](CommParamValues&) { return true; };
        const auto before = SettingsRegisters(rig.Device);

        rig.HoldInWait();
        rig.Click("readRealtimeButton");
        QVERIFY(rig.WaitUntilHeld());
        action(rig);
        QVERIFY(rig.Dialogs.Questions.isEmpty());
        rig.Clock.Release();
        QTRY_COMPARE(rig.Status(), QStringLiteral("读实时数据..."));
        rig.Click("stopRunButton");
        QVERIFY(rig.Drain());

        QCOMPARE(WritesIn(rig.TakeSent()), 0);
        QCOMPARE(SettingsRegisters(rig.Device), before);
        QCOMPARE(rig.Dialogs.CommParamsAsked, 0);
        // The device's settings, not the factory values the window held before the read.
        QCOMPARE(rig.Text("ctRatioEdit"), QStringLiteral("50"));
        QCOMPARE(rig.Text("unbalancePercentEdit"),
                 QString::number(rig.Device.Register(0x015E) >> 8));
    }

    // A box click never throws away what was typed: the boxes that fill a field take the
    // screen first, the others change only their own state.
    void boxClickKeepsTypedText_data() {
        QTest::addColumn<QString>("box");
        for (const char* box : {"shortCircuitCheck", "lockedRotorCheck", "definiteTimeCheck",
                                "unbalanceCheck", "inverseTimeCheck", "startTimeoutCheck",
                                "phaseLossCheck", "overVoltageCheck", "underVoltageCheck"}) {
            QTest::newRow(box) << QString::fromLatin1(box);
        }
    }
    void boxClickKeepsTypedText() {
        QFETCH(QString, box);
        CWindowRig rig;
        QTRY_VERIFY(rig.Controller->PortOpen());
        auto* check = test::Child<QCheckBox>(rig.Window, box);
        const bool wasChecked = check->isChecked();
        test::Retype(rig.Find<QLineEdit>("ctRatioEdit"), QStringLiteral("77"));
        test::Retype(rig.Find<QLineEdit>("overVoltagePercentEdit"), QStringLiteral("120"));
        QTest::mouseClick(check, Qt::LeftButton);
        QCOMPARE(check->isChecked(), !wasChecked);
        QCOMPARE(rig.Text("ctRatioEdit"), QStringLiteral("77"));
        QCOMPARE(rig.Text("overVoltagePercentEdit"), QStringLiteral("120"));

        // A field that holds no whole number: the click is refused, the box goes back and
        // every typed text stays.
        test::Retype(rig.Find<QLineEdit>("breakingCurrentEdit"), QStringLiteral("12x"));
        QTest::mouseClick(check, Qt::LeftButton);
        QCOMPARE(rig.Text("breakingCurrentEdit"), QStringLiteral("12x"));
        QCOMPARE(rig.Text("ctRatioEdit"), QStringLiteral("77"));
        const bool fillsAField =
            box != QLatin1String("shortCircuitCheck") && box != QLatin1String("startTimeoutCheck");
        QCOMPARE(check->isChecked(), fillsAField ? !wasChecked : wasChecked);
    }

    // A live value is shown only once a read gave it: before, a silent read and the factory
    // values (settings, not measurements) leave "—" with "未读取" for the operator and for
    // assistive technology; after a read the factory values leave the measurements alone.
    void notReadIsShownAsNotRead_data() {
        QTest::addColumn<Action>("action");
        QTest::addColumn<bool>("read");  // a read gave the live values first
        const Action nothing = [](CWindowRig&) {};
        const Action defaults = [](CWindowRig& r) { r.Click("restoreDefaultsButton"); };
        const Action silentRead = [](CWindowRig& r) {
            SimFaults silent;
            silent.Silent = true;
            r.Port.SetFaults(silent);
            r.Click("readRealtimeButton");
            QVERIFY(r.Drain());
            r.Click("stopRunButton");
            QVERIFY(r.Drain());
        };
        QTest::newRow("at start-up") << nothing << false;
        QTest::newRow("factory values before any read") << defaults << false;
        QTest::newRow("a read without reply") << silentRead << false;
        QTest::newRow("factory values after a read") << defaults << true;
    }
    void notReadIsShownAsNotRead() {
        QFETCH(Action, action);
        QFETCH(bool, read);
        CWindowRig rig;
        QTRY_VERIFY(rig.Controller->PortOpen());
        rig.Device.SetRegister(0x0103, 3801);
        rig.Device.SetInputs(0x01);
        rig.Device.SetCoils(0x02);
        if (read) {
            rig.Click("readRealtimeButton");
            QTRY_COMPARE(rig.State(), OperationState::Polling);
            rig.Click("stopRunButton");
            QVERIFY(rig.Drain());
        }
        action(rig);

        const char* const fields[] = {"currentAEdit", "currentBEdit", "currentCEdit",
                                      "voltageAEdit", "voltageBEdit", "voltageCEdit"};
        for (const char* name : fields) {
            auto* field = rig.Find<QLineEdit>(name);
            QVERIFY2(field->text().isEmpty() != read, name);
            QCOMPARE(field->toolTip(), read ? QString() : QStringLiteral("未读取"));
            QCOMPARE(field->accessibleDescription(), field->toolTip());
            QVERIFY2(!field->accessibleName().isEmpty(), name);
            QCOMPARE(field->placeholderText(), QStringLiteral("—"));
        }
        if (read) {
            QCOMPARE(rig.Text("voltageAEdit"), QStringLiteral("380.10"));
        }
        auto* input = rig.Find<CIndicatorLamp>("diLamp1");
        auto* output = rig.Find<CIndicatorLamp>("outputBLamp");
        QCOMPARE(input->State(), read ? Lamp::Red : Lamp::Unknown);
        QCOMPARE(output->State(), read ? Lamp::Red : Lamp::Unknown);
        QCOMPARE(rig.Find<CIndicatorLamp>("diLamp2")->State(), read ? Lamp::Green : Lamp::Unknown);
        for (CIndicatorLamp* lamp : {input, output}) {
            QCOMPARE(lamp->toolTip(), read ? QString() : QStringLiteral("未读取"));
            QCOMPARE(lamp->accessibleDescription(),
                     read ? QStringLiteral("红色：合") : QStringLiteral("灰色：状态未知"));
        }
    }

    // A silent device greys the output lamps exactly as the input lamps: same wash, same
    // words for the operator and for assistive technology.
    void outputLampsGoStaleLikeInputs() {
        CWindowRig rig;
        QTRY_VERIFY(rig.Controller->PortOpen());
        rig.Device.SetInputs(0x01);
        rig.Device.SetCoils(0x01);
        rig.Click("readRealtimeButton");
        QTRY_COMPARE(rig.State(), OperationState::Polling);
        SimFaults silent;
        silent.Silent = true;
        rig.Port.SetFaults(silent);
        auto* input = rig.Find<CIndicatorLamp>("diLamp1");
        auto* output = rig.Find<CIndicatorLamp>("outputALamp");
        QTRY_VERIFY(input->IsStale() && output->IsStale());
        rig.Click("stopRunButton");
        QVERIFY(rig.Drain());
        QVERIFY(output->toolTip().startsWith(QStringLiteral("数据已过时：自 ")));
        QCOMPARE(output->toolTip(), input->toolTip());
        QCOMPARE(output->Colour(), QColor(207, 80, 80));
        QCOMPARE(output->Colour(), input->Colour());
        QCOMPARE(output->accessibleDescription(), QStringLiteral("红色：合（数据已过时）"));
        QCOMPARE(output->accessibleDescription(), input->accessibleDescription());
    }

    // The status pane is read by its text: every status shown is what assistive technology reads.
    void statusTextReachesAssistiveTechnology() {
        CWindowRig rig;
        QTRY_VERIFY(rig.Controller->PortOpen());
        auto* pane = rig.Find<QLabel>("statusPaneLabel");
        auto accessibleText = [pane] {
            return QAccessible::queryAccessibleInterface(pane)->text(QAccessible::Name);
        };
        QCOMPARE(accessibleText(), rig.Status());
        rig.Click("readRealtimeButton");
        QTRY_COMPARE(rig.Status(), QStringLiteral("读实时数据..."));
        QCOMPARE(accessibleText(), rig.Status());
        rig.Click("stopRunButton");
        QCOMPARE(accessibleText(), QStringLiteral("停止运行..."));
        const QStringList problems = test::AccessibilityProblems(rig.Window);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestLiveWindow)
#include "TestLiveWindow.moc"
