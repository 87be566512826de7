#include "app/SettingsActions.h"

#include <QDateTime>

#include "batch/BatchWrite.h"
#include "language/Text.h"
#include "settings/FactoryDefaults.h"
#include "settings/SettingNames.h"
#include "settings/SettingRanges.h"
#include "settings/SettingsEditing.h"
#include "settings/SettingsLists.h"
#include "settings/SettingsVerify.h"
#include "settings/SettingsWrite.h"

namespace mp {
namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

CSettingsActions::CSettingsActions(WindowActions actions, QObject* parent)
    : QObject(parent), A_(std::move(actions)) {}

void CSettingsActions::Write() {
    CMotorProtectorDlg& window = A_.Window;
    if (!A_.Operations.Allowed(OperatorAction::WriteSettings)) {
        return;
    }
    if (!window.TakeFields()) {
        return;  // the window named the field that holds no whole number; nothing is sent
    }
    const ProtectionSettings snapshot = window.Fields().Settings;
    if (const auto error = ValidateSettings(snapshot)) {
        A_.Inform(Text(*error));
        return;
    }
    if (!A_.Dialogs.AskYesNo(&window, Text(Tr(kWriteConfirmQuestion)))) {
        window.SetStatus([] { return tr("写数据参数值已取消"); });
        return;
    }
    if (!A_.Operations.RequireLine() || !A_.AuditAdmits()) {
        return;  // the operator was told; nothing was written
    }
    const QJsonObject before = A_.Relay.Audit().LastRead();
    A_.Operations.Queue(OperatorAction::WriteSettings, [this, snapshot,
                                                        before](CDeviceContext& ctx) {
        WriteAndVerifySettings(
            ctx, snapshot, [this, snapshot, before](const SettingsWriteReport& report) {
                for (const std::string& message : SettingsWriteMessages(report)) {
                    A_.Inform(Text(message));
                }
                A_.Window.SetStatus([] { return Text(Tr(kWriteStatusText)); });
                const bool confirmed = SettingsWriteConfirmed(report);
                DeviceWrite write = A_.WriteOf(DeviceWriteKind::Settings,
                                               confirmed           ? DeviceWriteOutcome::Confirmed
                                               : report.Unanswered ? DeviceWriteOutcome::NoReply
                                                                   : DeviceWriteOutcome::NotHeld);
                std::optional<QJsonObject> held;
                if (report.HeldSettings) {
                    // The read-back read every block: what the relay holds now.
                    held = SettingsValuesJson({*report.HeldSettings, {}});
                    A_.Relay.Audit().SettingsRead(*held, QDateTime::currentMSecsSinceEpoch());
                }
                DescribeSettingsWrite(write, before, held, report);
                emit DeviceWritten(write);
                if (confirmed) {
                    // What the device now holds is no longer an unwritten edit.
                    A_.Window.MarkSettingsHeld(snapshot);
                    // The start mode is not part of the write: what the device kept goes with it.
                    ProtectionSettings written = snapshot;
                    const uint8_t mode = report.Written.StartModeByte;
                    written.StartModeText =
                        mode < StartModeNames.size() ? StartModeNames[mode] : "";
                    emit SettingsWritten(written);
                }
            });
    });
}

void CSettingsActions::RestoreDefaults() {
    if (!A_.Operations.Allowed(OperatorAction::EditSettings)) {
        return;
    }
    RestoreProtectionDefaults(A_.Window.Fields().Settings);
    // The factory values replace whatever was typed into the settings.
    A_.Window.ShowFields(ShowMode::ReplaceTyped);
}

void CSettingsActions::Step(StepField field, bool up) {
    // A refused field keeps what the operator typed: nothing is stepped and nothing redrawn.
    if (!A_.Operations.Allowed(OperatorAction::EditSettings) || !A_.Window.TakeFields()) {
        return;
    }
    if (StepSetting(A_.Window.Fields().Settings, field, up)) {
        A_.Inform(Text(Tr(kRangeWarning)));
    }
    A_.Window.ShowFields();
}

void CSettingsActions::ProtectionClicked(int protection, bool checked) {
    if (protection < 0 || protection >= kProtectionCount) {
        return;
    }
    const auto p = static_cast<Protection>(protection);
    ProtectionSettings& settings = A_.Window.Fields().Settings;
    if (!A_.Operations.Allowed(OperatorAction::EditSettings) ||
        (ProtectionClickTakesFields(p) && !A_.Window.TakeFields())) {
        // The click did not happen: the box goes back, every typed text stays.
        settings.Enabled[p] = !checked;
        A_.Window.ShowProtectionChecks();
        return;
    }
    ApplyProtectionClick(settings, p, checked);
    if (ProtectionClickTakesFields(p)) {
        A_.Window.ShowFields();
    }
}

}  // namespace mp
