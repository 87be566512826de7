#include "app/MainController.h"

#include <QAction>
#include <QMenu>
#include <QThread>

#include "app/CommParamChange.h"
#include "app/DeviceBackend.h"
#include "app/DialogService.h"
#include "app/IoWorker.h"
#include "app/MotorProtectorDlg.h"
#include "app/PollSession.h"
#include "app/WindowQueue.h"
#include "commands/OutputCommands.h"
#include "commands/StartModeCommand.h"
#include "events/EventRecords.h"
#include "language/Text.h"
#include "maintenance/Calibration.h"
#include "maintenance/Coefficients.h"
#include "maintenance/MaintenanceUnlock.h"
#include "monitoring/PollingCycle.h"
#include "serial/FrameLog.h"
#include "settings/FactoryDefaults.h"
#include "settings/SettingNames.h"
#include "settings/SettingRanges.h"
#include "settings/SettingsEditing.h"
#include "settings/SettingsLists.h"
#include "settings/SettingsVerify.h"
#include "settings/SettingsWrite.h"

namespace mp {
namespace {

// Status and refusal texts, in the window's language at the moment they are shown.
QString ReadingStatus() {
    return CMainController::tr("读实时数据...");
}
QString SettingsReadFailed() {
    return CMainController::tr("读参数不成功");
}
QString StoppedStatus() {
    return CMainController::tr("停止运行...");
}
QString PortLostStatus() {
    return CMainController::tr("串口已断开，正在重试...");
}
QString PortBackStatus() {
    return CMainController::tr("串口已重新连接");
}
QString BusyRefusal() {
    return CMainController::tr("正在与设备通讯，请等当前操作完成后再试。");
}
QString LockedRefusal() {
    return CMainController::tr("请先输入调试密码");
}
QString WriteStatus() {
    return QString::fromStdString(Tr(kWriteStatusText));
}
QString WriteCancelledStatus() {
    return CMainController::tr("写数据参数值已取消");
}

QString PortName(const ConnectionSettings& connection) {
    return connection.Simulated() ? CMainController::tr("内置模拟设备") : connection.PortText;
}

QString ParityName(int parity) {
    return QString::fromStdString(Tr(ParityTextOf(parity)));
}

// The line in use as the status bar shows it: "COM1  9600 波特 无校验  地址 1".
QString LineText(const ConnectionSettings& connection) {
    return CMainController::tr("%1  %2 波特 %3  地址 %4")
        .arg(PortName(connection))
        .arg(connection.BaudRate)
        .arg(ParityName(connection.ParityCode))
        .arg(connection.SlaveAddress);
}

// The start mode shown before the first read; data of the start-mode list, not a caption.
const char* const kStartModeDirect = "直接起动";

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

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

// The buttons that stay disabled from the read command until the stop, whatever else allows
// them; their menu items stay available while polling.
bool InLockSet(MainCommand command) {
    return command == MainCommand::ReadRealtimeData || command == MainCommand::WriteSettings ||
           command == MainCommand::ChangeCommParams || command == MainCommand::SetStartMode;
}

DeviceWriteKind OutputWriteKind(bool (*command)(CDeviceContext&, LiveValues*)) {
    if (command == &mp::CloseOutputA) return DeviceWriteKind::CloseOutputA;
    if (command == &mp::OpenOutputA) return DeviceWriteKind::OpenOutputA;
    if (command == &mp::CloseOutputB) return DeviceWriteKind::CloseOutputB;
    if (command == &mp::OpenOutputB) return DeviceWriteKind::OpenOutputB;
    return DeviceWriteKind::ResetOutputs;
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

DeviceWriteOutcome OutcomeOf(CommChangeOutcome outcome) {
    switch (outcome) {
        case CommChangeOutcome::Confirmed:
            return DeviceWriteOutcome::Confirmed;
        case CommChangeOutcome::Refused:
            return DeviceWriteOutcome::NotHeld;
        case CommChangeOutcome::LineFailed:
            return DeviceWriteOutcome::NotFollowed;
        case CommChangeOutcome::NoAnswer:
        case CommChangeOutcome::PortClosed:
            break;
    }
    return DeviceWriteOutcome::NoReply;
}

bool NeedsUnlock(OperatorAction action) {
    return action == OperatorAction::TakeGrid || action == OperatorAction::ReadCoefficients ||
           action == OperatorAction::ResetCoefficients;
}

constexpr MainCommand kAllCommands[] = {
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

}  // namespace

CMainController::CMainController(CMotorProtectorDlg& window, IMainDialogs& dialogs,
                                 const ConnectionSettings& connection, QObject* parent)
    : QObject(parent),
      Window_(window),
      Dialogs_(dialogs),
      Connection_(connection),
      Backend_(CDeviceBackend::Create(connection)),
      Port_(Backend_->Port()),
      Clock_(Backend_->Clock()),
      WorkerClock_(Clock_),
      Link_(Port_, WorkerClock_) {
    Connect();
}

CMainController::CMainController(CMotorProtectorDlg& window, IMainDialogs& dialogs,
                                 const ConnectionSettings& connection, IPort& port, IClock& clock,
                                 QObject* parent)
    : QObject(parent),
      Window_(window),
      Dialogs_(dialogs),
      Connection_(connection),
      Port_(port),
      Clock_(clock),
      WorkerClock_(Clock_),
      Link_(Port_, WorkerClock_) {
    Connect();
}

CMainController::~CMainController() {
    Shutdown();
}

void CMainController::Connect() {
    Link_.SetSlaveAddress(Connection_.SlaveAddress);
    InstallFrameLog(Link_);
    Queue_ = std::make_unique<CWindowQueue>(this, [this] {
        Window_.ShowFields();
        ShowLinkState();
    });
    Worker_ = std::make_unique<CIoWorker>(Link_, *Queue_);

    connect(&Window_, &CMotorProtectorDlg::CommandRequested, this, &CMainController::OnCommand);
    connect(&Window_, &CMotorProtectorDlg::StepRequested, this, &CMainController::StepSetting);
    connect(&Window_, &CMotorProtectorDlg::ProtectionClicked, this,
            &CMainController::OnProtectionClicked);
    connect(&Window_, &CMotorProtectorDlg::Closing, this, &CMainController::Shutdown);
    // The link words are formed from the freshness marks: again in the new language.
    connect(&Window_, &CMotorProtectorDlg::LanguageChanged, this, &CMainController::ShowLinkState);
    QAction* reconnect = Window_.ReconnectAction();
    for (QObject* menu : reconnect->associatedObjects()) {
        if (auto* shown = qobject_cast<QMenu*>(menu)) {
            connect(shown, &QMenu::aboutToShow, this, &CMainController::UpdateReconnectAction);
        }
    }
}

void CMainController::OnCommand(MainCommand command) {
    switch (command) {
        case MainCommand::ReadRealtimeData:
            return OnReadRealtimeData();
        case MainCommand::StopRun:
            return OnStopRun();
        case MainCommand::WriteSettings:
            return WriteSettings();
        case MainCommand::RestoreDefaults:
            return RestoreProtectionDefaults();
        case MainCommand::ChangeCommParams:
            return ChangeDeviceCommParams();
        case MainCommand::CalibrateCurrent:
            return CalibrateCurrent();
        case MainCommand::SetStartMode:
            return SetStartMode();
        case MainCommand::CloseOutputA:
            return CloseOutputA();
        case MainCommand::OpenOutputA:
            return OpenOutputA();
        case MainCommand::CloseOutputB:
            return CloseOutputB();
        case MainCommand::OpenOutputB:
            return OpenOutputB();
        case MainCommand::ResetOutputs:
            return ResetOutputs();
        case MainCommand::ShowUsageNotes:
            return ShowUsageNotes();
        case MainCommand::MaintenanceUnlock:
            return MaintenanceUnlock();
        case MainCommand::SendPwmOutput:
            return SendPwmOutput();
        case MainCommand::CalibrateVoltage:
            return CalibrateVoltage();
        case MainCommand::ReadCoefficients:
            return ReadCoefficients();
        case MainCommand::ResetCurrentCoefficients:
            return ResetCurrentCoefficients();
        case MainCommand::ResetVoltageCoefficients:
            return ResetVoltageCoefficients();
        case MainCommand::ReadEventRecords:
            return ReadEventRecords();
        case MainCommand::Reconnect:
            return Reconnect();
    }
}

void CMainController::Start() {
    if (Started_) {
        return;
    }
    Started_ = true;
    MainFields& f = Window_.Fields();
    f.Settings.PhaseLossTime = "0.5";
    f.Settings.RatedVoltage = "380";
    f.StartModeSelection = std::string(kStartModeDirect);
    f.Settings.StartModeText = std::string(kStartModeDirect);
    f.ConnectionSummary = ConnectionSummary().toStdString();
    mp::RestoreProtectionDefaults(f.Settings);
    f.Settings.DefiniteTimeTime = "0";
    Window_.ShowFields();
    // The values the program put there are no edits of the operator.
    Window_.MarkSettingsHeld();
    ShowLine();
    UpdateControls();

    Port_.SetLostHandler([this](const std::string& message) {
        const QString text = Text(message);
        Queue_->Post([this, text] { OnPortLost(text); });
    });
    // A QThread, so that the serial port living on it may use Qt's notifiers.
    Worker_->Start([](std::function<void()> body) -> std::function<void()> {
        QThread* thread = QThread::create(std::move(body));
        thread->setObjectName(QStringLiteral("device I/O"));
        thread->start();
        return [thread] {
            thread->wait();
            delete thread;
        };
    });
    OpenLine();
}

void CMainController::OpenLine() {
    const PortSettings line = LineSettings();
    const uint8_t address = Connection_.SlaveAddress;
    Worker_->Post([this, line, address](CDeviceContext& ctx) {
        ctx.Link.SetSlaveAddress(address);
        const bool opened = ctx.Link.OpenLine(line);
        if (opened) {
            ctx.Link.Port().DiscardInput();
        }
        const QString reason = Text(ctx.Link.Port().LastError());
        ctx.Post([this, opened, reason] {
            PortOpen_ = opened;
            if (opened) {
                emit PortOpened(Connection_);
            }
            if (!opened) {
                const QString failure =
                    reason.contains(Connection_.PortText)
                        ? reason
                        : tr("串口 %1 打开失败：%2").arg(Connection_.PortText, reason);
                Inform(tr("%1\n程序继续运行，但不会与设备通信。").arg(failure));
            }
        });
    });
}

void CMainController::OnPortLost(const QString& message) {
    if (Recovering_ || ShutDown_) {
        return;
    }
    Recovering_ = true;
    PortOpen_ = false;
    Window_.SetStatus(&PortLostStatus);
    ShowLinkState();
    // The retries start at once, not when the operator has read the message.
    ScheduleReopen();
    Inform(message);
}

void CMainController::ScheduleReopen() {
    const unsigned recovery = Recovery_.load();
    const PortSettings line = LineSettings();
    Worker_->PostAfter(kReopenPeriodMs, [this, recovery, line](CDeviceContext& ctx) {
        if (recovery != Recovery_.load()) {
            return;  // another connection was chosen since
        }
        const bool opened = ctx.Link.OpenLine(line);
        if (opened) {
            ctx.Link.Port().DiscardInput();
        }
        ctx.Post([this, recovery, opened] { OnReopened(recovery, opened); });
    });
}

void CMainController::OnReopened(unsigned recovery, bool opened) {
    if (!Recovering_ || recovery != Recovery_.load() || ShutDown_) {
        return;
    }
    if (!opened) {
        ScheduleReopen();
        return;
    }
    Recovering_ = false;
    PortOpen_ = true;
    // The reads that found the port closed belong to the lost port: the link starts again.
    Window_.Fields().Live.Freshness.StartLine();
    // Polling was left running: its next tick reads from the port again.
    if (Worker_->IsPolling()) {
        Window_.SetStatus([] { return tr("%1，%2").arg(PortBackStatus(), ReadingStatus()); });
    } else {
        Window_.SetStatus(&PortBackStatus);
    }
    ShowLinkState();
}

void CMainController::ShowLinkState() {
    if (Recovering_) {
        Window_.SetLinkStatus(LinkState::PortLost, PortLostStatus());
        return;
    }
    const CLiveFreshness& freshness = Window_.Fields().Live.Freshness;
    LinkState state = freshness.ReadOnThisLine() ? LinkState::Answering : LinkState::Idle;
    if (freshness.MissedInRow() > 0) {
        state = freshness.LastFailure() == ReadFailure::PortClosed ? LinkState::PortLost
                                                                   : LinkState::Unanswered;
    } else if (freshness.ReadOnThisLine() && freshness.AnyStale()) {
        // Green only while every live read answers, not while one of them never does.
        state = LinkState::Unanswered;
    }
    Window_.SetLinkStatus(state, Text(freshness.LinkText()));
}

void CMainController::ShowLine() {
    Window_.SetLineText([connection = Connection_] { return LineText(connection); });
}

bool CMainController::CanReconnect() const {
    // Nothing pending in the operation state, and no background retry on the worker.
    return Started_ && !ShutDown_ && State_.Allows(OperatorAction::Reconnect) && Worker_->IsIdle();
}

void CMainController::UpdateReconnectAction() {
    Window_.ReconnectAction()->setEnabled(CanReconnect());
}

void CMainController::Reconnect() {
    if (!CanReconnect()) {
        return;
    }
    ConnectionSettings chosen = Connection_;
    if (!Dialogs_.AskConnection(&Window_, chosen)) {
        return;
    }
    if (Backend_ && chosen.Simulated() != Connection_.Simulated()) {
        Inform(tr("内置模拟设备与串口之间的切换需要重新启动程序。"));
        return;
    }
    // Retries of a lost port stop: the line is now the one chosen.
    ++Recovery_;
    Recovering_ = false;
    PortOpen_ = false;
    Connection_ = chosen;
    if (Backend_) {
        Backend_->Follow(Connection_);
    }
    Window_.Fields().ConnectionSummary = ConnectionSummary().toStdString();
    // What the old line's reads found says nothing of the new one: the link state starts again
    // (the values on screen keep their stale marks).
    Window_.Fields().Live.Freshness.StartLine();
    Window_.ShowFields();
    ShowLine();
    Window_.SetStatus([port = Connection_.PortText] { return tr("连接 %1 ...").arg(port); });
    ShowLinkState();
    OpenLine();
    Worker_->Post([this](CDeviceContext& ctx) {
        ctx.Post([this] {
            const QString port = Connection_.PortText;
            if (PortOpen_) {
                Window_.SetStatus([port] { return tr("串口 %1 已连接").arg(port); });
            } else {
                Window_.SetStatus([port] { return tr("串口 %1 未能打开").arg(port); });
            }
            ShowLinkState();
        });
    });
}

void CMainController::Shutdown() {
    if (ShutDown_ || !Worker_) {
        return;
    }
    ShutDown_ = true;
    ++Recovery_;
    // Every stop before the worker is waited for: the read command's session, then (in the
    // worker's shutdown) whatever operation runs and the clock's waits.
    if (Session_) {
        Session_->Stop();
    }
    Worker_->StopPollTimer();
    Worker_->Shutdown([](CDeviceContext& ctx) { ctx.Link.Port().ClosePort(); });
}

bool CMainController::RequirePort() {
    if (PortOpen_) {
        return true;
    }
    Inform(tr("串口 %1 未打开，无法与设备通信。").arg(Connection_.PortText));
    return false;
}

void CMainController::Inform(const QString& text) {
    Dialogs_.Inform(&Window_, text);
}

void CMainController::ReportWrite(DeviceWriteKind kind, DeviceWriteOutcome outcome) {
    DeviceWrite write;
    write.Kind = kind;
    write.Outcome = outcome;
    write.Address = Connection_.SlaveAddress;
    emit DeviceWritten(write);
}

bool CMainController::Allowed(OperatorAction action) {
    if (State_.Allows(action)) {
        return true;
    }
    Inform(NeedsUnlock(action) && !State_.Unlocked() ? LockedRefusal() : BusyRefusal());
    return false;
}

void CMainController::Queue(OperatorAction action, CIoWorker::Job job) {
    const int token = State_.Begin(action);
    UpdateControls();
    Worker_->Post([this, token, job = std::move(job)](CDeviceContext& ctx) {
        job(ctx);
        // After every closure the operation handed the window.
        ctx.Post([this, token] { Finish(token); });
    });
}

void CMainController::Finish(int token) {
    State_.End(token);
    UpdateControls();
}

void CMainController::UpdateControls() {
    const bool locked = State_.Mode() != OperationState::Idle;
    for (const MainCommand command : kAllCommands) {
        const bool allowed = State_.Allows(ActionOf(command));
        Window_.SetCommandEnabled(command, allowed && !(locked && InLockSet(command)), allowed);
    }
    Window_.SetSettingsEditingEnabled(State_.Allows(OperatorAction::EditSettings));
    UpdateReconnectAction();
    const OperationState state = State_.State();
    Window_.SetBusy(state == OperationState::Starting || state == OperationState::Busy);
}

PortSettings CMainController::LineSettings() const {
    if (Backend_) {
        return Backend_->LineSettings(Connection_);
    }
    return Connection_.Line();
}

QString CMainController::ConnectionSummary() const {
    // A record kept with the fields, never shown: it stays in the device's own words.
    return QStringLiteral("\r\n仪表地址: %1 \r\n\r\n").arg(Connection_.SlaveAddress) +
           QStringLiteral("串口:     %1 \r\r\n波特率:  %2 \r\n\r\n")
               .arg(Connection_.PortText)
               .arg(Connection_.BaudRate) +
           QStringLiteral("校验位:  ") + QString::fromUtf8(ParityTextOf(Connection_.ParityCode));
}

// ---- monitoring -------------------------------------------------------------------------

void CMainController::OnReadRealtimeData() {
    if (!Allowed(OperatorAction::Read)) {
        return;
    }
    State_.ReadPressed();
    emit PollingStarted();
    Window_.TakeFields();
    Window_.SetPollingLock(true);
    UpdateControls();

    auto session = std::make_shared<CPollSession>(*Worker_, [this] {
        Window_.ShowFields();
        ShowLinkState();
    });
    Session_ = session;
    MainFields* f = &Window_.Fields();
    Worker_->SetTick([this, session, f](CDeviceContext& ctx) {
        session->Run(ctx, [this, f](CDeviceContext& s) {
            const PollTickResult answered = RunPollTick(s, &f->Settings, &f->Live);
            // Queued after the tick's final show, dropped with it after a stop.
            s.Post([this, answered] { emit PollTickShown(answered); });
        });
    });
    Worker_->Post([this, session, f](CDeviceContext& ctx) {
        session->Run(ctx, [this, f](CDeviceContext& s) {
            RunStartSequence(
                s, &f->Settings, &f->Live,
                [this] {
                    State_.StartFinished();
                    UpdateControls();
                },
                [this](bool settingsReadFailed) {
                    // The settings fields hold what the device gave (or kept what they held
                    // where a block did not answer): no edit of the operator.
                    Window_.MarkSettingsHeld();
                    if (settingsReadFailed) {
                        Window_.SetStatus(
                            [] { return tr("%1%2").arg(ReadingStatus(), SettingsReadFailed()); });
                    } else {
                        Window_.SetStatus(&ReadingStatus);
                    }
                });
        });
    });
}

void CMainController::SetFastRefresh(bool on) {
    Link_.SetFastReplyEnd(on, Connection_.BaudRate);
    Worker_->SetPollPeriod(on ? 0 : CIoWorker::kPollPeriodMs);
}

void CMainController::OnStopRun() {
    if (Session_) {
        Session_->Stop();
        Session_.reset();
    }
    Worker_->StopPollTimer();
    State_.Stopped();
    Window_.SetPollingLock(false);
    Window_.SetStatus(&StoppedStatus);
    UpdateControls();
}

// ---- settings ---------------------------------------------------------------------------

void CMainController::WriteSettings() {
    if (!Allowed(OperatorAction::WriteSettings)) {
        return;
    }
    if (!Window_.TakeFields()) {
        return;  // the window named the field that holds no whole number; nothing is sent
    }
    const ProtectionSettings snapshot = Window_.Fields().Settings;
    if (const auto error = ValidateSettings(snapshot)) {
        Inform(Text(*error));
        return;
    }
    if (!Dialogs_.AskYesNo(&Window_, QString::fromStdString(mp::Tr(kWriteConfirmQuestion)))) {
        Window_.SetStatus(&WriteCancelledStatus);
        return;
    }
    if (!RequirePort()) {
        return;  // the operator was told; nothing was written
    }
    Queue(OperatorAction::WriteSettings, [this, snapshot](CDeviceContext& ctx) {
        WriteAndVerifySettings(ctx, snapshot, [this, snapshot](const SettingsWriteReport& report) {
            for (const std::string& message : SettingsWriteMessages(report)) {
                Inform(Text(message));
            }
            Window_.SetStatus(&WriteStatus);
            ReportWrite(DeviceWriteKind::Settings,
                        SettingsWriteConfirmed(report) ? DeviceWriteOutcome::Confirmed
                        : report.Unanswered            ? DeviceWriteOutcome::NoReply
                                                       : DeviceWriteOutcome::NotHeld);
            if (SettingsWriteConfirmed(report)) {
                // What the device now holds is no longer an unwritten edit.
                Window_.MarkSettingsHeld(snapshot);
                // The start mode is not part of the write: what the device kept goes with it.
                ProtectionSettings written = snapshot;
                const uint8_t mode = report.Written.StartModeByte;
                written.StartModeText = mode < StartModeNames.size() ? StartModeNames[mode] : "";
                emit SettingsWritten(written);
            }
        });
    });
}

void CMainController::RestoreProtectionDefaults() {
    if (!Allowed(OperatorAction::EditSettings)) {
        return;
    }
    MainFields& f = Window_.Fields();
    mp::RestoreProtectionDefaults(f.Settings);
    // The factory values replace whatever was typed into the settings.
    Window_.ShowFields(ShowMode::ReplaceTyped);
}

void CMainController::StepSetting(StepField field, bool up) {
    // A refused field keeps what the operator typed: nothing is stepped and nothing redrawn.
    if (!Allowed(OperatorAction::EditSettings) || !Window_.TakeFields()) {
        return;
    }
    const bool warn = mp::StepSetting(Window_.Fields().Settings, field, up);
    if (warn) {
        Inform(QString::fromStdString(mp::Tr(kRangeWarning)));
    }
    Window_.ShowFields();
}

void CMainController::OnProtectionClicked(int protection, bool checked) {
    if (protection < 0 || protection >= kProtectionCount) {
        return;
    }
    const auto p = static_cast<Protection>(protection);
    ProtectionSettings& settings = Window_.Fields().Settings;
    if (!Allowed(OperatorAction::EditSettings) ||
        (ProtectionClickTakesFields(p) && !Window_.TakeFields())) {
        // The click did not happen: the box goes back, every typed text stays.
        settings.Enabled[p] = !checked;
        Window_.ShowProtectionChecks();
        return;
    }
    ApplyProtectionClick(settings, p, checked);
    if (ProtectionClickTakesFields(p)) {
        Window_.ShowFields();
    }
}

// ---- commands ---------------------------------------------------------------------------

void CMainController::SetStartMode() {
    if (!Allowed(OperatorAction::SetStartMode)) {
        return;
    }
    if (!Window_.TakeFields()) {
        return;
    }
    const ProtectionSettings& settings = Window_.Fields().Settings;
    const int mode = Window_.StartModeIndex();
    if (mode < 0) {
        Inform(tr("起动方式的值不在列表中"));
        return;
    }
    // The command carries the phase-loss time too: one the operator typed is sent once it is
    // a value the device takes; otherwise the device's own is read and kept.
    std::optional<std::string> typed;
    if (Window_.PhaseLossTimeTyped()) {
        if (const auto refusal =
                CheckSettingRange(*FindSettingRange(kPhaseLossTimeName), settings)) {
            Inform(Text(*refusal));
            return;
        }
        typed = settings.PhaseLossTime;
    }
    if (!RequirePort()) {
        return;
    }
    Queue(OperatorAction::SetStartMode, [this, typed, mode](CDeviceContext& ctx) {
        mp::SetStartMode(ctx, typed, mode, [this](const StartModeResult& result) {
            if (result.HeldMode >= 0) {
                const auto held = static_cast<size_t>(result.HeldMode);
                Window_.Fields().Settings.StartModeText =
                    held < StartModeNames.size() ? StartModeNames[held] : "";
                Window_.ShowFields();
            }
            if (result.Outcome != StartModeOutcome::NotSent) {
                ReportWrite(DeviceWriteKind::StartMode, OutcomeOf(result.Outcome));
            }
            switch (result.Outcome) {
                case StartModeOutcome::Confirmed:
                    Window_.SetStatus([] { return tr("起动方式已设置"); });
                    return;
                case StartModeOutcome::NotHeld:
                    return Inform(Text(Tr(kStartModeNotHeldText)));
                case StartModeOutcome::Unconfirmed:
                    return Inform(Text(Tr(kStartModeUnconfirmedText)));
                case StartModeOutcome::NotSent:
                    return Inform(Text(Tr(kStartModeNotSentText)));
            }
        });
    });
}

void CMainController::QueueOutputCommand(bool (*command)(CDeviceContext&, LiveValues*)) {
    if (!RequirePort()) {
        return;
    }
    LiveValues* live = &Window_.Fields().Live;
    CMotorProtectorDlg* window = &Window_;
    Queue(OperatorAction::OutputCommand, [this, command, live, window](CDeviceContext& ctx) {
        const bool confirmed = command(ctx, live);
        ctx.Post([this, command, confirmed] {
            ReportWrite(OutputWriteKind(command),
                        confirmed ? DeviceWriteOutcome::Confirmed : DeviceWriteOutcome::NoReply);
        });
        ctx.Post([window, confirmed] {
            auto unconfirmed = [] {
                return QString::fromStdString(mp::Tr(kOutputsUnconfirmedText));
            };
            if (!confirmed) {
                window->SetStatus(unconfirmed);
            } else if (window->StatusText() == unconfirmed()) {
                window->SetStatus(
                    [] { return QString::fromStdString(mp::Tr(kOutputsConfirmedText)); });
            }
        });
    });
}

void CMainController::CloseOutputA() {
    QueueOutputCommand(&mp::CloseOutputA);
}
void CMainController::OpenOutputA() {
    QueueOutputCommand(&mp::OpenOutputA);
}
void CMainController::CloseOutputB() {
    QueueOutputCommand(&mp::CloseOutputB);
}
void CMainController::OpenOutputB() {
    QueueOutputCommand(&mp::OpenOutputB);
}
void CMainController::ResetOutputs() {
    QueueOutputCommand(&mp::ResetOutputs);
}

// ---- application shell ------------------------------------------------------------------

void CMainController::ShowUsageNotes() {
    Dialogs_.ShowUsageNotes(&Window_);
}

void CMainController::ChangeDeviceCommParams() {
    if (!Allowed(OperatorAction::ChangeCommParams) || !RequirePort()) {
        return;
    }
    // One pending operation from the read of the device's address to the end of its change,
    // the operator's answer included.
    const int token = State_.Begin(OperatorAction::ChangeCommParams);
    UpdateControls();
    Worker_->Post([this, token](CDeviceContext& ctx) {
        ReadDeviceCommParams(ctx, [this, token](bool answered, int address, std::string baudText) {
            if (!answered) {
                Inform(Text(Tr(kCommParamsNoReplyText)));
                Finish(token);
                return;
            }
            CommParamValues values;
            values.Address = address;
            values.BaudText = Text(baudText);
            values.PortText = PortName(Connection_);
            values.ParityText = ParityName(Connection_.ParityCode);
            if (!Dialogs_.EditCommParams(&Window_, values)) {
                Finish(token);
                return;
            }
            const int code = BaudCodeOfRate(values.NewBaudRate);
            if (code < 0) {
                Finish(token);
                return;  // the dialog refuses any other rate
            }
            const PortSettings oldLine = LineSettings();
            PortSettings newLine = oldLine;
            newLine.BaudRate = values.NewBaudRate;
            const int newAddress = values.Address;
            const int newRate = values.NewBaudRate;
            const int oldAddress = Connection_.SlaveAddress;
            Worker_->Post([this, token, newAddress, code, oldLine, newLine, newRate,
                           oldAddress](CDeviceContext& wctx) {
                WriteDeviceCommParams(
                    wctx, newAddress, code, oldLine, newLine,
                    [this, token, newAddress, newRate, oldAddress](const CommChangeResult& result) {
                        if (result.Outcome != CommChangeOutcome::PortClosed) {
                            emit DeviceWritten({DeviceWriteKind::CommParams,
                                                OutcomeOf(result.Outcome), oldAddress, newAddress,
                                                newRate});
                        }
                        ApplyCommChange(result, newAddress, newRate);
                        Finish(token);
                    });
            });
        });
    });
}

void CMainController::ApplyCommChange(const CommChangeResult& result, int newAddress, int newRate) {
    switch (result.Outcome) {
        case CommChangeOutcome::Confirmed:
            Connection_.SlaveAddress = static_cast<uint8_t>(newAddress);
            Connection_.BaudRate = newRate;
            Window_.Fields().ConnectionSummary = CommParamSummaryText(newAddress, newRate);
            Window_.ShowFields();
            ShowLine();
            Inform(Text(Tr(kCommParamsChangedText)));
            return;
        case CommChangeOutcome::LineFailed:
            Inform(tr("串口未能改为 %1 波特：%2").arg(newRate).arg(Text(result.Error)));
            return;
        case CommChangeOutcome::Refused:
            Inform(Text(Tr(kCommParamsRefusedText)));
            return;
        case CommChangeOutcome::NoAnswer:
        case CommChangeOutcome::PortClosed:
            Inform(Text(Tr(kCommParamsNoAnswerText)));
            return;
    }
}

void CMainController::UseLine(uint8_t address, int baudRate, int parity,
                              std::function<void(bool)> done) {
    if (!Allowed(OperatorAction::Reconnect)) {
        if (done) {
            done(false);
        }
        return;
    }
    Connection_.SlaveAddress = address;
    Connection_.BaudRate = baudRate;
    Connection_.ParityCode = parity;
    const PortSettings line = LineSettings();
    Queue(OperatorAction::Reconnect, [this, line, address, baudRate, done](CDeviceContext& ctx) {
        IPort& port = ctx.Link.Port();
        const bool opened =
            port.IsPortOpen() ? ctx.Link.ReconfigureLine(line) : ctx.Link.OpenLine(line);
        ctx.Link.SetSlaveAddress(address);
        const QString reason = Text(port.LastError());
        ctx.Post([this, opened, reason, address, baudRate, done] {
            PortOpen_ = opened;
            Window_.Fields().ConnectionSummary = CommParamSummaryText(address, baudRate);
            // Another device, or the same at another rate: the link state starts again.
            Window_.Fields().Live.Freshness.StartLine();
            Window_.ShowFields();
            ShowLine();
            ShowLinkState();
            if (opened) {
                Window_.SetStatus([address, baudRate] {
                    return tr("已连接到地址 %1，%2 波特").arg(address).arg(baudRate);
                });
            } else {
                Window_.SetStatus(
                    [port = Connection_.PortText] { return tr("串口 %1 未能打开").arg(port); });
                Inform(tr("串口 %1 打开失败：%2").arg(Connection_.PortText, reason));
            }
            if (done) {
                done(opened);
            }
        });
    });
}

// ---- maintenance ------------------------------------------------------------------------

void CMainController::MaintenanceUnlock() {
    const std::optional<QString> entered = Dialogs_.AskPassword(&Window_);
    if (!entered) {
        return;
    }
    if (PasswordMatches(entered->toStdString())) {
        State_.SetUnlocked();
        UpdateControls();
    } else {
        Inform(QString::fromStdString(mp::Tr(kWrongPasswordText)));
    }
}

void CMainController::Calibrate(void (*calibrate)(CDeviceContext&, std::array<LineFit, 3>,
                                                  CoefficientDone),
                                const char* doneText) {
    if (!Allowed(OperatorAction::TakeGrid) || !Window_.TakeFields()) {
        return;  // a point that is no whole number was named; nothing is sent
    }
    std::array<LineFit, 3> fits{};
    if (const auto error = PrepareCalibration(Window_.Fields().Grid, fits)) {
        Inform(Text(*error));
        return;
    }
    Window_.ShowFields();
    if (!RequirePort()) {
        return;
    }
    const DeviceWriteKind kind = calibrate == &mp::CalibrateCurrent
                                     ? DeviceWriteKind::CalibrateCurrent
                                     : DeviceWriteKind::CalibrateVoltage;
    Queue(OperatorAction::TakeGrid, [this, calibrate, fits, doneText, kind](CDeviceContext& ctx) {
        calibrate(ctx, fits, [this, doneText, kind](CoefficientCheck check) {
            ReportWrite(kind, OutcomeOf(check));
            Inform(Text(CoefficientCheckText(check, doneText)));
        });
    });
}

void CMainController::CalibrateCurrent() {
    Calibrate(&mp::CalibrateCurrent, kCurrentCalibratedText);
}

void CMainController::CalibrateVoltage() {
    Calibrate(&mp::CalibrateVoltage, kVoltageCalibratedText);
}

void CMainController::SendPwmOutput() {
    if (!Allowed(OperatorAction::TakeGrid) || !Window_.TakeFields()) {
        return;
    }
    const CalibrationGrid& grid = Window_.Fields().Grid;
    const std::string a = grid.A[kRowPwm];
    const std::string b = grid.B[kRowPwm];
    if (const auto error = CheckPwmCoefficients(a, b)) {
        Inform(Text(*error));
        return;
    }
    if (!RequirePort()) {
        return;
    }
    Queue(OperatorAction::TakeGrid, [this, a, b](CDeviceContext& ctx) {
        mp::SendPwmOutput(ctx, a, b, [this](CoefficientCheck check) {
            ReportWrite(DeviceWriteKind::PwmOutput, OutcomeOf(check));
            Inform(Text(CoefficientCheckText(check, kPwmOutputSentText)));
            Window_.ShowFields();
        });
    });
}

void CMainController::ReadCoefficients() {
    if (!Allowed(OperatorAction::ReadCoefficients) || !RequirePort()) {
        return;
    }
    CalibrationGrid* grid = &Window_.Fields().Grid;
    Queue(OperatorAction::ReadCoefficients, [this, grid](CDeviceContext& ctx) {
        mp::ReadCoefficients(ctx, grid, [this, grid](bool answered) {
            if (answered) {
                emit CoefficientsRead(*grid);
            }
            Inform(QString::fromStdString(
                mp::Tr(answered ? kCoefficientsReadText : kCoefficientsNoReplyText)));
        });
    });
}

void CMainController::ResetCoefficients(void (*reset)(CDeviceContext&, CoefficientDone)) {
    if (!Allowed(OperatorAction::ResetCoefficients) || !RequirePort()) {
        return;
    }
    const DeviceWriteKind kind = reset == &mp::ResetCurrentCoefficients
                                     ? DeviceWriteKind::ResetCurrentCoefficients
                                     : DeviceWriteKind::ResetVoltageCoefficients;
    Queue(OperatorAction::ResetCoefficients, [this, reset, kind](CDeviceContext& ctx) {
        reset(ctx, [this, kind](CoefficientCheck check) {
            ReportWrite(kind, OutcomeOf(check));
            Inform(Text(CoefficientCheckText(check, kCoefficientsResetText)));
        });
    });
}

void CMainController::ResetCurrentCoefficients() {
    ResetCoefficients(&mp::ResetCurrentCoefficients);
}

void CMainController::ResetVoltageCoefficients() {
    ResetCoefficients(&mp::ResetVoltageCoefficients);
}

// ---- events -----------------------------------------------------------------------------

void CMainController::ReadEventRecords() {
    if (!RequirePort()) {
        return;
    }
    Queue(OperatorAction::ReadEvents, [this](CDeviceContext& ctx) {
        mp::ReadEventRecords(ctx, [this](std::optional<EventRecordTexts> texts) {
            if (texts) {
                emit EventRecordsRead(*texts);
                Dialogs_.ShowEventRecords(&Window_, *texts);
            } else {
                Inform(QString::fromStdString(mp::Tr(kEventsNoReplyText)));
            }
        });
    });
}

}  // namespace mp
