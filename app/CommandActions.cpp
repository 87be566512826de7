#include "app/CommandActions.h"

#include <QJsonObject>
#include <optional>

#include "commands/OutputCommands.h"
#include "commands/StartModeCommand.h"
#include "events/EventRecords.h"
#include "language/Text.h"
#include "settings/SettingNames.h"
#include "settings/SettingRanges.h"
#include "settings/SettingsLists.h"

namespace mp {
namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

DeviceWriteOutcome OutcomeOf(StartModeOutcome outcome) {
    switch (outcome) {
        case StartModeOutcome::Confirmed:
            return DeviceWriteOutcome::Confirmed;
        case StartModeOutcome::NotHeld:
            return DeviceWriteOutcome::NotHeld;
        case StartModeOutcome::Unconfirmed:
        case StartModeOutcome::NotSent:
            break;
    }
    return DeviceWriteOutcome::NoReply;
}

QJsonObject OutputsJson(const LiveValues& live) {
    auto state = [](Lamp lamp) {
        switch (lamp) {
            case Lamp::Red:
                return QStringLiteral("closed");
            case Lamp::Green:
                return QStringLiteral("open");
            case Lamp::Unknown:
                break;
        }
        return QStringLiteral("unknown");
    };
    return {{QStringLiteral("outputA"), state(live.Outputs[0])},
            {QStringLiteral("outputB"), state(live.Outputs[1])},
            {QStringLiteral("reset"), state(live.Outputs[2])}};
}

}  // namespace

CCommandActions::CCommandActions(WindowActions actions, QObject* parent)
    : QObject(parent), A_(std::move(actions)) {}

void CCommandActions::SetStartMode() {
    CMotorProtectorDlg& window = A_.Window;
    if (!A_.Operations.Allowed(OperatorAction::SetStartMode) || !window.TakeFields()) {
        return;
    }
    const ProtectionSettings& settings = window.Fields().Settings;
    const int mode = window.StartModeIndex();
    if (mode < 0) {
        A_.Inform(tr("起动方式的值不在列表中"));
        return;
    }
    // The command carries the phase-loss time too: one the operator typed is sent once it is
    // a value the device takes; otherwise the device's own is read and kept.
    std::optional<std::string> typed;
    if (window.PhaseLossTimeTyped()) {
        if (const auto refusal =
                CheckSettingRange(*FindSettingRange(kPhaseLossTimeName), settings)) {
            A_.Inform(Text(*refusal));
            return;
        }
        typed = settings.PhaseLossTime;
    }
    if (!A_.Operations.RequireLine() || !A_.AuditAdmits()) {
        return;
    }
    A_.Operations.Queue(OperatorAction::SetStartMode, [this, typed, mode](CDeviceContext& ctx) {
        mp::SetStartMode(ctx, typed, mode, [this, mode](const StartModeResult& result) {
            if (result.HeldMode >= 0) {
                const auto held = static_cast<size_t>(result.HeldMode);
                A_.Window.Fields().Settings.StartModeText =
                    held < StartModeNames.size() ? StartModeNames[held] : "";
                A_.Window.ShowFields();
            }
            if (result.Outcome != StartModeOutcome::NotSent) {
                DeviceWrite write =
                    A_.WriteOf(DeviceWriteKind::StartMode, OutcomeOf(result.Outcome));
                write.Detail = QStringLiteral("start mode %1 sent").arg(mode);
                if (result.HeldMode >= 0) {
                    write.After = {{QStringLiteral("startMode"), result.HeldMode}};
                }
                emit DeviceWritten(write);
            }
            switch (result.Outcome) {
                case StartModeOutcome::Confirmed:
                    A_.Window.SetStatus([] { return tr("起动方式已设置"); });
                    return;
                case StartModeOutcome::NotHeld:
                    return A_.Inform(Text(Tr(kStartModeNotHeldText)));
                case StartModeOutcome::Unconfirmed:
                    return A_.Inform(Text(Tr(kStartModeUnconfirmedText)));
                case StartModeOutcome::NotSent:
                    return A_.Inform(Text(Tr(kStartModeNotSentText)));
            }
        });
    });
}

void CCommandActions::QueueOutputCommand(bool (*command)(CDeviceContext&, LiveValues*),
                                         DeviceWriteKind kind) {
    if (!A_.Operations.Allowed(OperatorAction::OutputCommand) || !A_.Operations.RequireLine() ||
        !A_.AuditAdmits()) {
        return;
    }
    LiveValues* live = &A_.Window.Fields().Live;
    A_.Operations.Queue(
        OperatorAction::OutputCommand, [this, command, kind, live](CDeviceContext& ctx) {
            const bool confirmed = command(ctx, live);
            ctx.Post([this, kind, confirmed, live] {
                DeviceWrite write = A_.WriteOf(
                    kind, confirmed ? DeviceWriteOutcome::Confirmed : DeviceWriteOutcome::NoReply);
                if (confirmed) {
                    // The outputs as the command's read-back showed them.
                    write.After = OutputsJson(*live);
                }
                emit DeviceWritten(write);
            });
            CMotorProtectorDlg* window = &A_.Window;
            ctx.Post([window, confirmed] {
                auto unconfirmed = [] { return Text(Tr(kOutputsUnconfirmedText)); };
                if (!confirmed) {
                    window->SetStatus(unconfirmed);
                } else if (window->StatusText() == unconfirmed()) {
                    window->SetStatus([] { return Text(Tr(kOutputsConfirmedText)); });
                }
            });
        });
}

void CCommandActions::CloseOutputA() {
    QueueOutputCommand(&mp::CloseOutputA, DeviceWriteKind::CloseOutputA);
}
void CCommandActions::OpenOutputA() {
    QueueOutputCommand(&mp::OpenOutputA, DeviceWriteKind::OpenOutputA);
}
void CCommandActions::CloseOutputB() {
    QueueOutputCommand(&mp::CloseOutputB, DeviceWriteKind::CloseOutputB);
}
void CCommandActions::OpenOutputB() {
    QueueOutputCommand(&mp::OpenOutputB, DeviceWriteKind::OpenOutputB);
}
void CCommandActions::ResetOutputs() {
    QueueOutputCommand(&mp::ResetOutputs, DeviceWriteKind::ResetOutputs);
}

void CCommandActions::ReadEventRecords() {
    if (!A_.Operations.Allowed(OperatorAction::ReadEvents) || !A_.Operations.RequireLine()) {
        return;
    }
    A_.Operations.Queue(OperatorAction::ReadEvents, [this](CDeviceContext& ctx) {
        mp::ReadEventRecords(ctx, [this](std::optional<EventRecordTexts> texts) {
            if (texts) {
                emit EventRecordsRead(*texts);
                A_.Dialogs.ShowEventRecords(&A_.Window, *texts);
            } else {
                A_.Inform(Text(Tr(kEventsNoReplyText)));
            }
        });
    });
}

}  // namespace mp
