#include "relay/OperationState.h"

namespace mp {

OperationState COperationState::State() const {
    if (Mode_ == OperationState::Starting) {
        return OperationState::Starting;
    }
    return Pending_.empty() ? Mode_ : OperationState::Busy;
}

FieldGroup COperationState::Fills(OperatorAction action) {
    switch (action) {
        case OperatorAction::Read:
            return FieldGroup::Settings;
        case OperatorAction::ReadCoefficients:
            return FieldGroup::Grid;
        case OperatorAction::ChangeCommParams:
            return FieldGroup::Connection;
        // The scan moves the line through other rates: nothing that needs the device's
        // own line may start until it has put it back.
        case OperatorAction::ScanBus:
            return FieldGroup::Connection;
        default:
            return FieldGroup::None;
    }
}

bool COperationState::Filling(FieldGroup group) const {
    if (group == FieldGroup::Settings && Mode_ == OperationState::Starting) {
        return true;
    }
    for (const auto& pending : Pending_) {
        if (pending.second == group) {
            return true;
        }
    }
    return false;
}

bool COperationState::Allows(OperatorAction action) const {
    const bool settingsSafe = !Filling(FieldGroup::Settings);
    const bool connectionSafe = !Filling(FieldGroup::Connection);
    switch (action) {
        case OperatorAction::Stop:
        case OperatorAction::Unlock:
        case OperatorAction::ShowNotes:
        case OperatorAction::OutputCommand:
        case OperatorAction::ReadEvents:
        case OperatorAction::CompareSettings:
            return true;
        case OperatorAction::Read:
            return Mode_ == OperationState::Idle && settingsSafe && connectionSafe;
        case OperatorAction::WriteSettings:
        case OperatorAction::SetStartMode:
            return settingsSafe && connectionSafe;
        case OperatorAction::EditSettings:
            return settingsSafe;
        case OperatorAction::ChangeCommParams:
            return Mode_ != OperationState::Starting && connectionSafe;
        case OperatorAction::TakeGrid:
        case OperatorAction::ReadCoefficients:
            return Unlocked_ && !Filling(FieldGroup::Grid);
        case OperatorAction::ResetCoefficients:
            return Unlocked_;
        // The report's read waits for nothing and nothing waits for it: the values it states
        // are those the device held when no other operation was changing them. Poll ticks
        // only read, and run between its exchanges, never inside one.
        case OperatorAction::MakeReport:
            return Mode_ != OperationState::Starting && Pending_.empty();
        case OperatorAction::Reconnect:
        case OperatorAction::ScanBus:
            return Mode_ == OperationState::Idle && Pending_.empty();
        // The line is opened when it is chosen, whatever the window does.
        case OperatorAction::OpenLine:
            return true;
    }
    return false;
}

Refusal COperationState::RefusalOf(OperatorAction action) const {
    if (Allows(action)) {
        return Refusal::None;
    }
    const bool needsPassword = action == OperatorAction::TakeGrid ||
                               action == OperatorAction::ReadCoefficients ||
                               action == OperatorAction::ResetCoefficients;
    return needsPassword && !Unlocked_ ? Refusal::Locked : Refusal::Busy;
}

bool COperationState::ButtonAllows(OperatorAction action) const {
    const bool lockSet =
        action == OperatorAction::Read || action == OperatorAction::WriteSettings ||
        action == OperatorAction::ChangeCommParams || action == OperatorAction::SetStartMode;
    return Allows(action) && !(lockSet && Mode_ != OperationState::Idle);
}

bool COperationState::ReadPressed() {
    if (!Allows(OperatorAction::Read)) {
        return false;
    }
    Mode_ = OperationState::Starting;
    return true;
}

void COperationState::StartFinished() {
    if (Mode_ == OperationState::Starting) {
        Mode_ = OperationState::Polling;
    }
}

void COperationState::Stopped() {
    Mode_ = OperationState::Idle;
}

int COperationState::Begin(OperatorAction action) {
    const int token = NextToken_++;
    Pending_.emplace(token, Fills(action));
    return token;
}

void COperationState::End(int token) {
    Pending_.erase(token);
}

}  // namespace mp
