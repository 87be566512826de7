#include "app/PollingActions.h"

#include <QDateTime>

#include "batch/BatchWrite.h"
#include "connection/ConnectionController.h"
#include "line/DeviceLine.h"
#include "line/PollSession.h"

namespace mp {
namespace {

QString ReadingStatus() {
    return CPollingActions::tr("读实时数据...");
}
QString SettingsReadFailed() {
    return CPollingActions::tr("读参数不成功");
}
QString StoppedStatus() {
    return CPollingActions::tr("停止运行...");
}

}  // namespace

CPollingActions::CPollingActions(WindowActions actions, CDeviceLine& line,
                                 CConnectionController& connection, QObject* parent)
    : QObject(parent), A_(std::move(actions)), Line_(line), Connection_(connection) {}

void CPollingActions::Read() {
    if (!A_.Operations.Allowed(OperatorAction::Read)) {
        return;
    }
    A_.Relay.Operation().ReadPressed();
    emit PollingStarted();
    CMotorProtectorDlg& window = A_.Window;
    window.TakeFields();
    window.SetPollingLock(true);
    A_.UpdateControls();

    auto session = std::make_shared<CPollSession>(Line_.Worker(), [this] {
        A_.Window.ShowFields();
        Connection_.ShowLinkState();
    });
    Session_ = session;
    MainFields* f = &window.Fields();
    Line_.Worker().SetTick([this, session, f](CDeviceContext& ctx) {
        session->Run(ctx, [this, f](CDeviceContext& s) {
            const PollTickResult answered = RunPollTick(s, &f->Settings, &f->Live);
            // Queued after the tick's final show, dropped with it after a stop.
            s.Post([this, answered] { emit PollTickShown(answered); });
        });
    });
    Line_.Worker().Post([this, session, f](CDeviceContext& ctx) {
        session->Run(ctx, [this, f](CDeviceContext& s) {
            RunStartSequence(
                s, &f->Settings, &f->Live,
                [this] {
                    A_.Relay.Operation().StartFinished();
                    A_.UpdateControls();
                },
                [this](bool settingsReadFailed) {
                    // The settings fields hold what the device gave (or kept what they held
                    // where a block did not answer): no edit of the operator.
                    A_.Window.MarkSettingsHeld();
                    if (!settingsReadFailed) {
                        // What a later write of the settings replaces, for the audit trail.
                        A_.Relay.Audit().SettingsRead(
                            SettingsValuesJson({A_.Window.Fields().Settings, {}}),
                            QDateTime::currentMSecsSinceEpoch());
                    }
                    if (settingsReadFailed) {
                        A_.Window.SetStatus(
                            [] { return tr("%1%2").arg(ReadingStatus(), SettingsReadFailed()); });
                    } else {
                        A_.Window.SetStatus(&ReadingStatus);
                    }
                });
        });
    });
}

void CPollingActions::EndSession() {
    if (Session_) {
        Session_->Stop();
        Session_.reset();
    }
    Line_.Worker().StopPollTimer();
}

void CPollingActions::Stop() {
    EndSession();
    A_.Relay.Operation().Stopped();
    A_.Window.SetPollingLock(false);
    A_.Window.SetStatus(&StoppedStatus);
    A_.UpdateControls();
}

void CPollingActions::SetFastRefresh(bool on) {
    Line_.SetFastReplyEnd(on, Connection_.Connection().BaudRate);
    Line_.Worker().SetPollPeriod(on ? 0 : CIoWorker::kPollPeriodMs);
}

}  // namespace mp
