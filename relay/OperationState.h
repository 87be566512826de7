#pragma once
// What the window may do while it talks to the device. One object decides for every button and
// menu item: the handlers ask it before they act, and the window's enabled states are drawn
// from it after every change.
//
//   Idle      nothing runs and nothing is polled
//   Starting  the read command was given; its start sequence is queued or running
//   Polling   the poll timer runs
//   Busy      an operation the operator asked for is queued or running (from Idle or Polling)
//
// An operation that fills some of the window's fields with the device's values when it ends
// (the start sequence fills the settings, the coefficient read the calibration grid, the address
// change the connection) keeps every action that takes or changes those fields from running
// until it is over: none may act on values that are about to be replaced.
//
// It also knows the line: whether the port is open, and whether a lost port is being tried
// again. Every handler asks this object, never the worker's queue.

#include <map>

namespace mp {

enum class OperationState { Idle, Starting, Polling, Busy };

// The operator's actions as this state judges them.
enum class OperatorAction {
    Read,               // start sequence, then polling
    Stop,               // always possible
    WriteSettings,      // takes the settings fields and sends them
    EditSettings,       // factory values, up/down arrows, protection boxes: change settings fields
    SetStartMode,       // takes the phase-loss time and start mode and sends them
    ChangeCommParams,   // reads the device's address and rate, asks, writes new ones
    OutputCommand,      // contactor and reset commands: send only
    ReadEvents,         // reads the stored events and shows them in their own window
    CompareSettings,    // reads the device's settings into a set of their own
    TakeGrid,           // calibration and PWM: take the calibration grid and send
    ReadCoefficients,   // fills the calibration grid from the device
    ResetCoefficients,  // send only
    Reconnect,          // reopens the line, perhaps with other settings
    OpenLine,           // opens the line as chosen (start-up, reconnect); not the operator's
    ScanBus,            // searches the bus for devices at other addresses, rates and parities
    MakeReport,         // reads the device's settings, coefficients, events and line for a report
    Unlock,             // maintenance password
    ShowNotes,          // usage notes
};

// The fields an operation fills from the device when it ends.
enum class FieldGroup { None, Settings, Grid, Connection };

// The port of the line: not open (never opened, or failed to), open, or lost while open and
// being tried again.
enum class LineCondition { Closed, Open, Recovering };

// Why an action is refused.
enum class Refusal { None, Busy, Locked };

class COperationState {
public:
    OperationState State() const;
    // Idle, Starting or Polling, whatever operations are pending.
    OperationState Mode() const { return Mode_; }
    bool Unlocked() const { return Unlocked_; }

    bool Allows(OperatorAction action) const;
    // Why Allows refuses the action: the maintenance password not yet given for an action
    // that needs it, or something running that the action must wait for.
    Refusal RefusalOf(OperatorAction action) const;
    // The button of an action: allowed, and not one of the read command's lock set (read,
    // write, address change, start mode) while a read command runs. Their menu items follow
    // Allows alone.
    bool ButtonAllows(OperatorAction action) const;

    LineCondition Line() const { return Line_; }
    bool LineOpen() const { return Line_ == LineCondition::Open; }
    void SetLine(LineCondition line) { Line_ = line; }

    // Transitions. Each returns false, changing nothing, where Allows refuses the action.
    bool ReadPressed();    // Idle or Busy -> Starting
    void StartFinished();  // Starting -> Polling (ignored after a stop)
    void Stopped();        // Starting or Polling -> Idle (or Busy while operations are pending)
    void SetUnlocked() { Unlocked_ = true; }

    // An operation queued on the worker; `fills` names the fields it will replace. Returns the
    // token that ends it.
    int Begin(OperatorAction action);
    void End(int token);
    int Pending() const { return static_cast<int>(Pending_.size()); }

    // The fields an action fills from the device when it ends.
    static FieldGroup Fills(OperatorAction action);

private:
    bool Filling(FieldGroup group) const;

    OperationState Mode_ = OperationState::Idle;
    LineCondition Line_ = LineCondition::Closed;
    bool Unlocked_ = false;
    std::map<int, FieldGroup> Pending_;
    int NextToken_ = 1;
};

}  // namespace mp
