// The operation state: from each state, which actions are allowed and where they lead.

#include <QtTest>

#include "relay/OperationState.h"

using namespace mp;

Q_DECLARE_METATYPE(mp::OperatorAction)
Q_DECLARE_METATYPE(mp::OperationState)
Q_DECLARE_METATYPE(mp::Refusal)

namespace {

using A = OperatorAction;
using S = OperationState;

// Brings a fresh state to where a row starts: "read" (read pressed), "started" (start
// sequence ended), "stop", "unlock", "begin:<action>" (an operation queued), separated by
// spaces.
COperationState Reach(const QString& steps) {
    COperationState state;
    for (const QString& step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (step == QLatin1String("read")) {
            state.ReadPressed();
        } else if (step == QLatin1String("started")) {
            state.StartFinished();
        } else if (step == QLatin1String("stop")) {
            state.Stopped();
        } else if (step == QLatin1String("unlock")) {
            state.SetUnlocked();
        } else if (step == QLatin1String("begin:coefficients")) {
            state.Begin(A::ReadCoefficients);
        } else if (step == QLatin1String("begin:comm")) {
            state.Begin(A::ChangeCommParams);
        } else if (step == QLatin1String("begin:write")) {
            state.Begin(A::WriteSettings);
        } else if (step == QLatin1String("begin:output")) {
            state.Begin(A::OutputCommand);
        } else if (step == QLatin1String("begin:scan")) {
            state.Begin(A::ScanBus);
        } else if (step == QLatin1String("begin:open")) {
            state.Begin(A::OpenLine);
        } else {
            qFatal("unknown step %s", qPrintable(step));
        }
    }
    return state;
}

}  // namespace

class TestOperationState : public QObject {
    Q_OBJECT

private slots:
    void transitions_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<S>("before");
        QTest::addColumn<A>("action");
        QTest::addColumn<bool>("allowed");
        QTest::addColumn<S>("after");

        // Idle: everything the operator may do; maintenance waits for the password.
        QTest::newRow("idle, read") << "" << S::Idle << A::Read << true << S::Starting;
        QTest::newRow("idle, write") << "" << S::Idle << A::WriteSettings << true << S::Busy;
        QTest::newRow("idle, stop") << "" << S::Idle << A::Stop << true << S::Idle;
        QTest::newRow("idle, calibrate locked") << "" << S::Idle << A::TakeGrid << false << S::Idle;
        QTest::newRow("idle, coefficients locked")
            << "" << S::Idle << A::ReadCoefficients << false << S::Idle;
        QTest::newRow("idle, calibrate unlocked")
            << "unlock" << S::Idle << A::TakeGrid << true << S::Busy;
        QTest::newRow("idle, reconnect") << "" << S::Idle << A::Reconnect << true << S::Idle;

        // Starting: the settings are about to be replaced, so nothing takes or changes them.
        QTest::newRow("starting, read again")
            << "read" << S::Starting << A::Read << false << S::Starting;
        QTest::newRow("starting, write")
            << "read" << S::Starting << A::WriteSettings << false << S::Starting;
        QTest::newRow("starting, edit")
            << "read" << S::Starting << A::EditSettings << false << S::Starting;
        QTest::newRow("starting, start mode")
            << "read" << S::Starting << A::SetStartMode << false << S::Starting;
        QTest::newRow("starting, address change")
            << "read" << S::Starting << A::ChangeCommParams << false << S::Starting;
        QTest::newRow("starting, contactor")
            << "read" << S::Starting << A::OutputCommand << true << S::Starting;
        QTest::newRow("starting, events")
            << "read" << S::Starting << A::ReadEvents << true << S::Starting;
        QTest::newRow("starting, reconnect")
            << "read" << S::Starting << A::Reconnect << false << S::Starting;
        QTest::newRow("starting, stop") << "read" << S::Starting << A::Stop << true << S::Idle;

        // Polling: read stays refused until the stop; the menu's write and edits go on.
        QTest::newRow("polling, read")
            << "read started" << S::Polling << A::Read << false << S::Polling;
        QTest::newRow("polling, write")
            << "read started" << S::Polling << A::WriteSettings << true << S::Busy;
        QTest::newRow("polling, edit")
            << "read started" << S::Polling << A::EditSettings << true << S::Polling;
        QTest::newRow("polling, reconnect")
            << "read started" << S::Polling << A::Reconnect << false << S::Polling;
        QTest::newRow("polling, stop")
            << "read started" << S::Polling << A::Stop << true << S::Idle;
        QTest::newRow("stopped, read")
            << "read started stop" << S::Idle << A::Read << true << S::Starting;
        QTest::newRow("stopped while starting, late end")
            << "read stop started" << S::Idle << A::Read << true << S::Starting;

        // Busy: what is being replaced decides.
        QTest::newRow("coefficients, calibrate")
            << "unlock begin:coefficients" << S::Busy << A::TakeGrid << false << S::Busy;
        QTest::newRow("coefficients, read them again")
            << "unlock begin:coefficients" << S::Busy << A::ReadCoefficients << false << S::Busy;
        QTest::newRow("coefficients, write settings")
            << "unlock begin:coefficients" << S::Busy << A::WriteSettings << true << S::Busy;
        QTest::newRow("address change, read")
            << "begin:comm" << S::Busy << A::Read << false << S::Busy;
        QTest::newRow("address change, write")
            << "begin:comm" << S::Busy << A::WriteSettings << false << S::Busy;
        QTest::newRow("address change, again")
            << "begin:comm" << S::Busy << A::ChangeCommParams << false << S::Busy;
        QTest::newRow("write queued, edit")
            << "begin:write" << S::Busy << A::EditSettings << true << S::Busy;
        QTest::newRow("write queued, read")
            << "begin:write" << S::Busy << A::Read << true << S::Starting;
        QTest::newRow("contactor queued, reconnect")
            << "begin:output" << S::Busy << A::Reconnect << false << S::Busy;
        // The bus scan: only from idle, and the line is its own until it ends.
        QTest::newRow("idle, scan") << "" << S::Idle << A::ScanBus << true << S::Busy;
        QTest::newRow("polling, scan")
            << "read started" << S::Polling << A::ScanBus << false << S::Polling;
        QTest::newRow("contactor queued, scan")
            << "begin:output" << S::Busy << A::ScanBus << false << S::Busy;
        QTest::newRow("scanning, read") << "begin:scan" << S::Busy << A::Read << false << S::Busy;
        QTest::newRow("scanning, write")
            << "begin:scan" << S::Busy << A::WriteSettings << false << S::Busy;
        QTest::newRow("scanning, address change")
            << "begin:scan" << S::Busy << A::ChangeCommParams << false << S::Busy;
        // The report's read: while polling too, never beside another operation or a start.
        QTest::newRow("idle, report") << "" << S::Idle << A::MakeReport << true << S::Busy;
        QTest::newRow("polling, report")
            << "read started" << S::Polling << A::MakeReport << true << S::Busy;
        QTest::newRow("starting, report")
            << "read" << S::Starting << A::MakeReport << false << S::Starting;
        QTest::newRow("contactor queued, report")
            << "begin:output" << S::Busy << A::MakeReport << false << S::Busy;
        QTest::newRow("address change, report")
            << "begin:comm" << S::Busy << A::MakeReport << false << S::Busy;
        QTest::newRow("polling and contactor queued, stop")
            << "read started begin:output" << S::Busy << A::Stop << true << S::Busy;
        // The line being opened: nothing waits for it but another opening of the line.
        QTest::newRow("line opening, reconnect")
            << "begin:open" << S::Busy << A::Reconnect << false << S::Busy;
        QTest::newRow("line opening, scan")
            << "begin:open" << S::Busy << A::ScanBus << false << S::Busy;
        QTest::newRow("line opening, read")
            << "begin:open" << S::Busy << A::Read << true << S::Starting;
        QTest::newRow("line opening, write")
            << "begin:open" << S::Busy << A::WriteSettings << true << S::Busy;
    }

    // A button of the read command's lock set stays disabled from the read to the stop while
    // its menu item follows the state alone; a refusal names the password only where it is
    // the password that is missing.
    void buttonsAndRefusals_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<A>("action");
        QTest::addColumn<bool>("button");
        QTest::addColumn<Refusal>("refusal");

        QTest::newRow("idle, read") << "" << A::Read << true << Refusal::None;
        QTest::newRow("polling, read") << "read started" << A::Read << false << Refusal::Busy;
        QTest::newRow("polling, write")
            << "read started" << A::WriteSettings << false << Refusal::None;
        QTest::newRow("polling, start mode")
            << "read started" << A::SetStartMode << false << Refusal::None;
        QTest::newRow("polling, address change")
            << "read started" << A::ChangeCommParams << false << Refusal::None;
        QTest::newRow("polling, contactor")
            << "read started" << A::OutputCommand << true << Refusal::None;
        QTest::newRow("locked, calibrate") << "" << A::TakeGrid << false << Refusal::Locked;
        QTest::newRow("locked, reset coefficients")
            << "" << A::ResetCoefficients << false << Refusal::Locked;
        QTest::newRow("unlocked, coefficients being read, calibrate")
            << "unlock begin:coefficients" << A::TakeGrid << false << Refusal::Busy;
        QTest::newRow("scanning, write")
            << "begin:scan" << A::WriteSettings << false << Refusal::Busy;
    }

    void buttonsAndRefusals() {
        QFETCH(QString, steps);
        QFETCH(A, action);
        QFETCH(bool, button);
        QFETCH(Refusal, refusal);

        const COperationState state = Reach(steps);
        QCOMPARE(state.ButtonAllows(action), button);
        QCOMPARE(state.RefusalOf(action), refusal);
    }

    void transitions() {
        QFETCH(QString, steps);
        QFETCH(S, before);
        QFETCH(A, action);
        QFETCH(bool, allowed);
        QFETCH(S, after);

        COperationState state = Reach(steps);
        QCOMPARE(state.State(), before);
        QCOMPARE(state.Allows(action), allowed);
        if (action == A::Read) {
            QCOMPARE(state.ReadPressed(), allowed);
        } else if (action == A::Stop) {
            state.Stopped();
        } else if (allowed && action != A::EditSettings && action != A::Reconnect) {
            state.Begin(action);
        }
        QCOMPARE(state.State(), after);
    }

    // An operation's end takes the state back to where it was before, and the fields it
    // replaced may be taken again.
    void endingAnOperationFreesItsFields() {
        COperationState state = Reach("read started unlock");
        const int token = state.Begin(A::ReadCoefficients);
        QVERIFY(!state.Allows(A::TakeGrid));
        state.End(token);
        QCOMPARE(state.State(), S::Polling);
        QVERIFY(state.Allows(A::TakeGrid));
    }
};

QTEST_MAIN(TestOperationState)
#include "TestOperationState.moc"
