#include "app/MaintenanceActions.h"

#include "language/Text.h"
#include "maintenance/MaintenanceUnlock.h"

namespace mp {
namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// How the confirmed operations' outcomes go into the write log.
DeviceWriteOutcome OutcomeOf(CoefficientCheck check) {
    switch (check) {
        case CoefficientCheck::Confirmed:
            return DeviceWriteOutcome::Confirmed;
        case CoefficientCheck::NotHeld:
            return DeviceWriteOutcome::NotHeld;
        case CoefficientCheck::NoReply:
            return DeviceWriteOutcome::NoReply;
        case CoefficientCheck::Unconfirmable:
            break;
    }
    return DeviceWriteOutcome::SentOnly;
}

}  // namespace

CMaintenanceActions::CMaintenanceActions(WindowActions actions, QObject* parent)
    : QObject(parent), A_(std::move(actions)) {}

void CMaintenanceActions::Unlock() {
    const std::optional<QString> entered = A_.Dialogs.AskPassword(&A_.Window);
    if (!entered) {
        return;
    }
    if (PasswordMatches(entered->toStdString())) {
        A_.Relay.Operation().SetUnlocked();
        A_.UpdateControls();
    } else {
        A_.Inform(Text(Tr(kWrongPasswordText)));
    }
}

void CMaintenanceActions::Calibrate(void (*calibrate)(CDeviceContext&, std::array<LineFit, 3>,
                                                      CoefficientDone),
                                    DeviceWriteKind kind, const char* doneText) {
    if (!A_.Operations.Allowed(OperatorAction::TakeGrid) || !A_.Window.TakeFields()) {
        return;  // a point that is no whole number was named; nothing is sent
    }
    std::array<LineFit, 3> fits{};
    if (const auto error = PrepareCalibration(A_.Window.Fields().Grid, fits)) {
        A_.Inform(Text(*error));
        return;
    }
    A_.Window.ShowFields();
    if (!A_.Operations.RequireLine() || !A_.AuditAdmits()) {
        return;
    }
    A_.Operations.Queue(OperatorAction::TakeGrid,
                        [this, calibrate, fits, doneText, kind](CDeviceContext& ctx) {
                            calibrate(ctx, fits, [this, doneText, kind](CoefficientCheck check) {
                                emit DeviceWritten(A_.WriteOf(kind, OutcomeOf(check)));
                                A_.Inform(Text(CoefficientCheckText(check, doneText)));
                            });
                        });
}

void CMaintenanceActions::CalibrateCurrent() {
    Calibrate(&mp::CalibrateCurrent, DeviceWriteKind::CalibrateCurrent, kCurrentCalibratedText);
}

void CMaintenanceActions::CalibrateVoltage() {
    Calibrate(&mp::CalibrateVoltage, DeviceWriteKind::CalibrateVoltage, kVoltageCalibratedText);
}

void CMaintenanceActions::SendPwmOutput() {
    if (!A_.Operations.Allowed(OperatorAction::TakeGrid) || !A_.Window.TakeFields()) {
        return;
    }
    const CalibrationGrid& grid = A_.Window.Fields().Grid;
    const std::string a = grid.A[kRowPwm];
    const std::string b = grid.B[kRowPwm];
    if (const auto error = CheckPwmCoefficients(a, b)) {
        A_.Inform(Text(*error));
        return;
    }
    if (!A_.Operations.RequireLine() || !A_.AuditAdmits()) {
        return;
    }
    A_.Operations.Queue(OperatorAction::TakeGrid, [this, a, b](CDeviceContext& ctx) {
        mp::SendPwmOutput(ctx, a, b, [this](CoefficientCheck check) {
            emit DeviceWritten(A_.WriteOf(DeviceWriteKind::PwmOutput, OutcomeOf(check)));
            A_.Inform(Text(CoefficientCheckText(check, kPwmOutputSentText)));
            A_.Window.ShowFields();
        });
    });
}

void CMaintenanceActions::ReadCoefficients() {
    if (!A_.Operations.Allowed(OperatorAction::ReadCoefficients) || !A_.Operations.RequireLine()) {
        return;
    }
    CalibrationGrid* grid = &A_.Window.Fields().Grid;
    A_.Operations.Queue(OperatorAction::ReadCoefficients, [this, grid](CDeviceContext& ctx) {
        mp::ReadCoefficients(ctx, grid, [this, grid](bool answered) {
            if (answered) {
                emit CoefficientsRead(*grid);
            }
            A_.Inform(Text(Tr(answered ? kCoefficientsReadText : kCoefficientsNoReplyText)));
        });
    });
}

void CMaintenanceActions::ResetCoefficients(void (*reset)(CDeviceContext&, CoefficientDone),
                                            DeviceWriteKind kind) {
    if (!A_.Operations.Allowed(OperatorAction::ResetCoefficients) || !A_.Operations.RequireLine() ||
        !A_.AuditAdmits()) {
        return;
    }
    A_.Operations.Queue(
        OperatorAction::ResetCoefficients, [this, reset, kind](CDeviceContext& ctx) {
            reset(ctx, [this, kind](CoefficientCheck check) {
                emit DeviceWritten(A_.WriteOf(kind, OutcomeOf(check)));
                A_.Inform(Text(CoefficientCheckText(check, kCoefficientsResetText)));
            });
        });
}

void CMaintenanceActions::ResetCurrentCoefficients() {
    ResetCoefficients(&mp::ResetCurrentCoefficients, DeviceWriteKind::ResetCurrentCoefficients);
}

void CMaintenanceActions::ResetVoltageCoefficients() {
    ResetCoefficients(&mp::ResetVoltageCoefficients, DeviceWriteKind::ResetVoltageCoefficients);
}

}  // namespace mp
