#include "app/MainCommand.h"

namespace mp {

// The commands whose buttons and menu items follow the operation state.
const std::vector<MainCommand> kStateCommands = {
    MainCommand::ReadRealtimeData,
    MainCommand::StopRun,
    MainCommand::WriteSettings,
    MainCommand::RestoreDefaults,
    MainCommand::ChangeCommParams,
    MainCommand::CalibrateCurrent,
    MainCommand::SetStartMode,
    MainCommand::CloseOutputA,
    MainCommand::OpenOutputA,
    MainCommand::CloseOutputB,
    MainCommand::OpenOutputB,
    MainCommand::ResetOutputs,
    MainCommand::SendPwmOutput,
    MainCommand::CalibrateVoltage,
    MainCommand::ReadCoefficients,
    MainCommand::ResetCurrentCoefficients,
    MainCommand::ResetVoltageCoefficients,
    MainCommand::ReadEventRecords,
};

OperatorAction ActionOf(MainCommand command) {
    switch (command) {
        case MainCommand::ReadRealtimeData:
            return OperatorAction::Read;
        case MainCommand::StopRun:
            return OperatorAction::Stop;
        case MainCommand::WriteSettings:
            return OperatorAction::WriteSettings;
        case MainCommand::RestoreDefaults:
            return OperatorAction::EditSettings;
        case MainCommand::ChangeCommParams:
            return OperatorAction::ChangeCommParams;
        case MainCommand::SetStartMode:
            return OperatorAction::SetStartMode;
        case MainCommand::CloseOutputA:
        case MainCommand::OpenOutputA:
        case MainCommand::CloseOutputB:
        case MainCommand::OpenOutputB:
        case MainCommand::ResetOutputs:
            return OperatorAction::OutputCommand;
        case MainCommand::ShowUsageNotes:
            return OperatorAction::ShowNotes;
        case MainCommand::MaintenanceUnlock:
            return OperatorAction::Unlock;
        case MainCommand::CalibrateCurrent:
        case MainCommand::SendPwmOutput:
        case MainCommand::CalibrateVoltage:
            return OperatorAction::TakeGrid;
        case MainCommand::ReadCoefficients:
            return OperatorAction::ReadCoefficients;
        case MainCommand::ResetCurrentCoefficients:
        case MainCommand::ResetVoltageCoefficients:
            return OperatorAction::ResetCoefficients;
        case MainCommand::ReadEventRecords:
            return OperatorAction::ReadEvents;
        case MainCommand::Reconnect:
            return OperatorAction::Reconnect;
    }
    return OperatorAction::Stop;
}

}  // namespace mp
