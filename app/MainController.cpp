#include "app/MainController.h"

#include <QAction>
#include <QMenu>
#include <QThread>

#include "app/CommParamChange.h"
#include "app/DeviceBackend.h"
#include "app/DialogService.h"
#include "app/IoWorker.h"
#include "app/MotorProtectorDlg.h"
#include "app/WindowQueue.h"
#include "commands/OutputCommands.h"
#include "commands/StartModeCommand.h"
#include "events/EventRecords.h"
#include "maintenance/Calibration.h"
#include "maintenance/Coefficients.h"
#include "maintenance/MaintenanceUnlock.h"
#include "monitoring/PollingCycle.h"
#include "serial/FrameLog.h"
#include "settings/FactoryDefaults.h"
#include "settings/SettingsEditing.h"
#include "settings/SettingsWrite.h"

namespace mp {
namespace {

const QString kReadingStatus = QStringLiteral("读实时数据...");
const QString kSettingsReadFailed = QStringLiteral("读参数不成功");
const QString kStoppedStatus = QStringLiteral("停止运行...");
const QString kStartModeDirect = QStringLiteral("直接起动");
const QString kPortLostStatus = QStringLiteral("串口已断开，正在重试...");
const QString kPortBackStatus = QStringLiteral("串口已重新连接");

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

CMainController::CMainController(CMotorProtectorDlg& window, IDialogService& dialogs,
                                 const ConnectionSettings& connection, QObject* parent)
    : QObject(parent),
      Window_(window),
      Dialogs_(dialogs),
      Connection_(connection),
      Backend_(CDeviceBackend::Create(connection)),
      Port_(Backend_->Port()),
      Clock_(Backend_->Clock()),
      Link_(Port_, Clock_) {
    Connect();
}

CMainController::CMainController(CMotorProtectorDlg& window, IDialogService& dialogs,
                                 const ConnectionSettings& connection, IPort& port, IClock& clock,
                                 QObject* parent)
    : QObject(parent),
      Window_(window),
      Dialogs_(dialogs),
      Connection_(connection),
      Port_(port),
      Clock_(clock),
      Link_(Port_, Clock_) {
    Connect();
}

CMainController::~CMainController() { Shutdown(); }

void CMainController::Connect() {
    Link_.SetSlaveAddress(Connection_.SlaveAddress);
    InstallFrameLog(Link_);
    Queue_ = std::make_unique<CWindowQueue>(this, [this] {
        Window_.ShowFields();
        ShowLinkState();
    });
    Worker_ = std::make_unique<CIoWorker>(Link_, *Queue_);
    MainFields* fields = &Window_.Fields();
    Worker_->SetTick([fields](CDeviceContext& ctx) {
        RunPollTick(ctx, &fields->Settings, &fields->Live);
    });

    connect(&Window_, &CMotorProtectorDlg::CommandRequested, this, &CMainController::OnCommand);
    connect(&Window_, &CMotorProtectorDlg::StepRequested, this, &CMainController::StepSetting);
    connect(&Window_, &CMotorProtectorDlg::ProtectionClicked, this,
            &CMainController::OnProtectionClicked);
    connect(&Window_, &CMotorProtectorDlg::Closing, this, &CMainController::Shutdown);
    QAction* reconnect = Window_.ReconnectAction();
    for (QObject* menu : reconnect->associatedObjects()) {
        if (auto* shown = qobject_cast<QMenu*>(menu)) {
            connect(shown, &QMenu::aboutToShow, this, &CMainController::UpdateReconnectAction);
        }
    }
}

void CMainController::OnCommand(MainCommand command) {
    switch (command) {
        case MainCommand::ReadRealtimeData: return OnReadRealtimeData();
        case MainCommand::StopRun: return OnStopRun();
        case MainCommand::WriteSettings: return WriteSettings();
        case MainCommand::RestoreDefaults: return RestoreProtectionDefaults();
        case MainCommand::ChangeCommParams: return ChangeDeviceCommParams();
        case MainCommand::CalibrateCurrent: return CalibrateCurrent();
        case MainCommand::SetStartMode: return SetStartMode();
        case MainCommand::CloseOutputA: return CloseOutputA();
        case MainCommand::OpenOutputA: return OpenOutputA();
        case MainCommand::CloseOutputB: return CloseOutputB();
        case MainCommand::OpenOutputB: return OpenOutputB();
        case MainCommand::ResetOutputs: return ResetOutputs();
        case MainCommand::ShowUsageNotes: return ShowUsageNotes();
        case MainCommand::MaintenanceUnlock: return MaintenanceUnlock();
        case MainCommand::SendPwmOutput: return SendPwmOutput();
        case MainCommand::CalibrateVoltage: return CalibrateVoltage();
        case MainCommand::ReadCoefficients: return ReadCoefficients();
        case MainCommand::ResetCurrentCoefficients: return ResetCurrentCoefficients();
        case MainCommand::ResetVoltageCoefficients: return ResetVoltageCoefficients();
        case MainCommand::ReadEventRecords: return ReadEventRecords();
        case MainCommand::Reconnect: return Reconnect();
    }
}

void CMainController::Start() {
    if (Started_) {
        return;
    }
    Started_ = true;
    MainFields& f = Window_.Fields();
    f.Live.Currents = {"0.0000", "0.0000", "0.0000"};
    f.Settings.PhaseLossTime = "0.5";
    f.Settings.RatedVoltage = "380";
    f.StartModeSelection = kStartModeDirect.toStdString();
    f.Settings.StartModeText = kStartModeDirect.toStdString();
    f.ConnectionSummary = ConnectionSummary().toStdString();
    mp::RestoreProtectionDefaults(f.Settings, f.Live);
    f.Settings.DefiniteTimeTime = "0";
    Window_.ShowFields();

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
        ctx.Link.Port().ClosePort();
        ctx.Link.SetSlaveAddress(address);
        const bool opened = ctx.Link.Port().OpenPort(line);
        if (opened) {
            ctx.Link.Port().DiscardInput();
        }
        const QString reason = Text(ctx.Link.Port().LastError());
        ctx.Post([this, opened, reason] {
            PortOpen_ = opened;
            if (!opened) {
                const QString failure =
                    reason.contains(Connection_.PortText)
                        ? reason
                        : QStringLiteral("串口 %1 打开失败：%2").arg(Connection_.PortText, reason);
                Inform(failure + QStringLiteral("\n程序继续运行，但不会与设备通信。"));
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
    Window_.SetStatusText(kPortLostStatus);
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
        const bool opened = ctx.Link.Port().OpenPort(line);
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
    // Polling was left running: its next tick reads from the port again.
    Window_.SetStatusText(Worker_->IsPolling()
                              ? kPortBackStatus + QStringLiteral("，") + kReadingStatus
                              : kPortBackStatus);
    ShowLinkState();
}

void CMainController::ShowLinkState() {
    if (Recovering_) {
        Window_.SetLinkStatus(LinkState::PortLost, kPortLostStatus);
        return;
    }
    const CLiveFreshness& freshness = Window_.Fields().Live.Freshness;
    LinkState state = freshness.EverRead() ? LinkState::Answering : LinkState::Idle;
    if (freshness.MissedInRow() > 0) {
        state = freshness.LastFailure() == ReadFailure::PortClosed ? LinkState::PortLost
                                                                   : LinkState::Unanswered;
    }
    Window_.SetLinkStatus(state, Text(freshness.LinkText()));
}

bool CMainController::CanReconnect() const {
    return Started_ && !ShutDown_ && !Worker_->IsPolling() && Worker_->IsIdle();
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
        Inform(QStringLiteral("内置模拟设备与串口之间的切换需要重新启动程序。"));
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
    Window_.ShowFields();
    Window_.SetStatusText(QStringLiteral("连接 %1 ...").arg(Connection_.PortText));
    ShowLinkState();
    OpenLine();
    Worker_->Post([this](CDeviceContext& ctx) {
        ctx.Post([this] {
            if (PortOpen_) {
                Window_.SetStatusText(QStringLiteral("串口 %1 已连接").arg(Connection_.PortText));
            }
        });
    });
}

void CMainController::Shutdown() {
    if (ShutDown_ || !Worker_) {
        return;
    }
    ShutDown_ = true;
    ++Recovery_;
    Worker_->StopPollTimer();
    Worker_->Shutdown([](CDeviceContext& ctx) { ctx.Link.Port().ClosePort(); });
}

bool CMainController::RequirePort() {
    if (PortOpen_) {
        return true;
    }
    Inform(QStringLiteral("串口 %1 未打开，无法与设备通信。").arg(Connection_.PortText));
    return false;
}

void CMainController::Inform(const QString& text) { Dialogs_.Inform(&Window_, text); }

PortSettings CMainController::LineSettings() const {
    if (Backend_) {
        return Backend_->LineSettings(Connection_);
    }
    return {Connection_.PortText.toStdString(), Connection_.BaudRate, Connection_.ParityCode};
}

QString CMainController::ConnectionSummary() const {
    static const char* const kParity[] = {"校验位:  无校验", "校验位:  奇校验", "校验位:  偶校验"};
    const int parity = Connection_.ParityCode >= 0 && Connection_.ParityCode < 3 ? Connection_.ParityCode : 0;
    return QStringLiteral("\r\n仪表地址: %1 \r\n\r\n").arg(Connection_.SlaveAddress) +
           QStringLiteral("串口:     %1 \r\r\n波特率:  %2 \r\n\r\n")
               .arg(Connection_.PortText)
               .arg(Connection_.BaudRate) +
           QString::fromUtf8(kParity[parity]);
}

// ---- monitoring -------------------------------------------------------------------------

void CMainController::OnReadRealtimeData() {
    Window_.TakeFields();
    MainFields* f = &Window_.Fields();
    CMotorProtectorDlg* window = &Window_;
    Worker_->Post([f, window](CDeviceContext& ctx) {
        RunStartSequence(
            ctx, &f->Settings, &f->Live, [window] { window->SetPollingLock(true); },
            [window](bool settingsReadFailed) {
                window->SetStatusText(settingsReadFailed ? kReadingStatus + kSettingsReadFailed
                                                         : kReadingStatus);
            });
    });
}

void CMainController::OnStopRun() {
    Worker_->StopPollTimer();
    Window_.SetPollingLock(false);
    Window_.SetStatusText(kStoppedStatus);
}

// ---- settings ---------------------------------------------------------------------------

void CMainController::WriteSettings() {
    Window_.TakeFields();
    const ProtectionSettings snapshot = Window_.Fields().Settings;
    if (const auto error = ValidateSettings(snapshot)) {
        Inform(Text(*error));
        return;
    }
    if (!Dialogs_.AskYesNo(&Window_, QString::fromUtf8(kWriteConfirmQuestion))) {
        Window_.SetStatusText(QString::fromUtf8(kWriteStatusText));
        return;
    }
    if (!RequirePort()) {
        Window_.SetStatusText(QString::fromUtf8(kWriteStatusText));
        return;
    }
    Worker_->Post([this, snapshot](CDeviceContext& ctx) {
        mp::WriteSettings(ctx, snapshot, [this](SettingsWriteResult result) {
            if (result.StartModeReadFailed) {
                Inform(QString::fromUtf8(kStartModeReadFailedMessage));
            }
            if (result.OverVoltageSkipped) {
                Inform(QString::fromUtf8(kOverVoltageRangeMessage));
            }
            Inform(QString::fromUtf8(kWriteDoneMessage));
            Window_.SetStatusText(QString::fromUtf8(kWriteStatusText));
        });
    });
}

void CMainController::RestoreProtectionDefaults() {
    MainFields& f = Window_.Fields();
    mp::RestoreProtectionDefaults(f.Settings, f.Live);
    Window_.ShowFields();
}

void CMainController::StepSetting(StepField field, bool up) {
    Window_.TakeFields();
    const bool warn = mp::StepSetting(Window_.Fields().Settings, field, up);
    if (warn) {
        Inform(QString::fromUtf8(kRangeWarning));
    }
    Window_.ShowFields();
}

void CMainController::OnProtectionClicked(int protection, bool checked) {
    if (protection < 0 || protection >= kProtectionCount) {
        return;
    }
    const auto p = static_cast<Protection>(protection);
    if (ProtectionClickTakesFields(p)) {
        Window_.TakeFields();
    }
    ApplyProtectionClick(Window_.Fields().Settings, p, checked);
    Window_.ShowFields();
}

// ---- commands ---------------------------------------------------------------------------

void CMainController::SetStartMode() {
    Window_.TakeFields();
    const std::string phaseLossTime = Window_.Fields().Settings.PhaseLossTime;
    const int mode = Window_.StartModeIndex();
    if (!RequirePort()) {
        return;
    }
    Worker_->Post([phaseLossTime, mode](CDeviceContext& ctx) {
        mp::SetStartMode(ctx, phaseLossTime, mode);
    });
}

void CMainController::QueueOutputCommand(void (*command)(CDeviceContext&, LiveValues*)) {
    if (!RequirePort()) {
        return;
    }
    LiveValues* live = &Window_.Fields().Live;
    Worker_->Post([command, live](CDeviceContext& ctx) { command(ctx, live); });
}

void CMainController::CloseOutputA() { QueueOutputCommand(&mp::CloseOutputA); }
void CMainController::OpenOutputA() { QueueOutputCommand(&mp::OpenOutputA); }
void CMainController::CloseOutputB() { QueueOutputCommand(&mp::CloseOutputB); }
void CMainController::OpenOutputB() { QueueOutputCommand(&mp::OpenOutputB); }
void CMainController::ResetOutputs() { QueueOutputCommand(&mp::ResetOutputs); }

// ---- application shell ------------------------------------------------------------------

void CMainController::ShowUsageNotes() { Dialogs_.ShowUsageNotes(&Window_); }

void CMainController::ChangeDeviceCommParams() {
    if (!RequirePort()) {
        return;
    }
    Worker_->Post([this](CDeviceContext& ctx) {
        ReadDeviceCommParams(ctx, [this](int address, std::string baudText) {
            CommParamValues values;
            values.Address = address;
            values.BaudText = Text(baudText);
            values.PortText = Connection_.PortText;
            static const char* const kParity[] = {"无校验", "奇校验", "偶校验"};
            values.ParityText = QString::fromUtf8(kParity[Connection_.ParityCode == 1   ? 1
                                                          : Connection_.ParityCode == 2 ? 2
                                                                                        : 0]);
            if (!Dialogs_.EditCommParams(&Window_, values)) {
                return;
            }
            const int code = BaudCodeOfRate(values.NewBaudRate);
            if (code < 0) {
                return;  // the dialog refuses any other rate
            }
            PortSettings line = LineSettings();
            line.BaudRate = values.NewBaudRate;
            const int newAddress = values.Address;
            const int newRate = values.NewBaudRate;
            Worker_->Post([this, newAddress, code, line, newRate](CDeviceContext& wctx) {
                WriteDeviceCommParams(
                    wctx, newAddress, code, line,
                    [this, newAddress, newRate](bool lineFollowed, std::string error) {
                        Inform(QString::fromUtf8(kCommParamsChangedText));
                        Connection_.SlaveAddress = static_cast<uint8_t>(newAddress);
                        if (lineFollowed) {
                            Connection_.BaudRate = newRate;
                        } else {
                            Inform(QStringLiteral("串口未能改为 %1 波特：%2")
                                       .arg(newRate)
                                       .arg(Text(error)));
                        }
                        Window_.Fields().ConnectionSummary =
                            CommParamSummaryText(newAddress, newRate);
                        Window_.ShowFields();
                    });
            });
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
        Window_.EnableMaintenanceButtons();
    } else {
        Inform(QString::fromUtf8(kWrongPasswordText));
    }
}

void CMainController::Calibrate(void (*calibrate)(CDeviceContext&, std::array<LineFit, 3>,
                                                  std::function<void()>),
                                const char* doneText) {
    Window_.TakeFields();
    std::array<LineFit, 3> fits{};
    if (const auto error = PrepareCalibration(Window_.Fields().Grid, fits)) {
        Inform(Text(*error));
        return;
    }
    Window_.ShowFields();
    if (!RequirePort()) {
        return;
    }
    const QString done = QString::fromUtf8(doneText);
    Worker_->Post([this, calibrate, fits, done](CDeviceContext& ctx) {
        calibrate(ctx, fits, [this, done] { Inform(done); });
    });
}

void CMainController::CalibrateCurrent() { Calibrate(&mp::CalibrateCurrent, kCurrentCalibratedText); }

void CMainController::CalibrateVoltage() { Calibrate(&mp::CalibrateVoltage, kVoltageCalibratedText); }

void CMainController::SendPwmOutput() {
    Window_.TakeFields();
    const CalibrationGrid& grid = Window_.Fields().Grid;
    const std::string a = grid.A[kRowPwm];
    const std::string b = grid.B[kRowPwm];
    if (!RequirePort()) {
        return;
    }
    Worker_->Post([this, a, b](CDeviceContext& ctx) {
        mp::SendPwmOutput(ctx, a, b);
        ctx.Post([this] {
            Inform(QString::fromUtf8(kPwmOutputSentText));
            Window_.ShowFields();
        });
    });
}

void CMainController::ReadCoefficients() {
    if (!RequirePort()) {
        return;
    }
    CalibrationGrid* grid = &Window_.Fields().Grid;
    Worker_->Post([this, grid](CDeviceContext& ctx) {
        mp::ReadCoefficients(ctx, grid, [this] { Inform(QString::fromUtf8(kCoefficientsReadText)); });
    });
}

void CMainController::ResetCoefficients(void (*reset)(CDeviceContext&, std::function<void()>)) {
    if (!RequirePort()) {
        return;
    }
    Worker_->Post([this, reset](CDeviceContext& ctx) {
        reset(ctx, [this] { Inform(QString::fromUtf8(kCoefficientsResetText)); });
    });
}

void CMainController::ResetCurrentCoefficients() { ResetCoefficients(&mp::ResetCurrentCoefficients); }

void CMainController::ResetVoltageCoefficients() { ResetCoefficients(&mp::ResetVoltageCoefficients); }

// ---- events -----------------------------------------------------------------------------

void CMainController::ReadEventRecords() {
    if (!RequirePort()) {
        return;
    }
    Worker_->Post([this](CDeviceContext& ctx) {
        mp::ReadEventRecords(ctx, [this](EventRecordTexts texts) {
            Dialogs_.ShowEventRecords(&Window_, texts);
        });
    });
}

}  // namespace mp
