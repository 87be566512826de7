#include "app/MainController.h"

#include <QAction>
#include <QMenu>

#include "app/CommandActions.h"
#include "app/DialogService.h"
#include "app/MainCommand.h"
#include "app/MaintenanceActions.h"
#include "app/MotorProtectorDlg.h"
#include "app/PollingActions.h"
#include "app/SettingsActions.h"
#include "connection/ConnectionController.h"
#include "line/DeviceLine.h"
#include "relay/Relay.h"
#include "settings/FactoryDefaults.h"

namespace mp {
namespace {

// The start mode shown before the first read; data of the start-mode list, not a caption.
const char* const kStartModeDirect = "直接起动";

}  // namespace

CMainController::CMainController(CMotorProtectorDlg& window, IMainDialogs& dialogs,
                                 const ConnectionSettings& connection, QObject* parent)
    : QObject(parent), Window_(window), Dialogs_(dialogs), Relay_(window.Relay()) {
    Line_ = std::make_unique<CDeviceLine>(connection);
    Build(connection);
}

CMainController::CMainController(CMotorProtectorDlg& window, IMainDialogs& dialogs,
                                 const ConnectionSettings& connection, IPort& port, IClock& clock,
                                 QObject* parent)
    : QObject(parent), Window_(window), Dialogs_(dialogs), Relay_(window.Relay()) {
    Line_ = std::make_unique<CDeviceLine>(port, clock);
    Build(connection);
}

CMainController::CMainController(CMotorProtectorDlg& window, IMainDialogs& dialogs,
                                 const ConnectionSettings& connection,
                                 std::unique_ptr<CDeviceLine> line, QObject* parent)
    : QObject(parent),
      Window_(window),
      Dialogs_(dialogs),
      Relay_(window.Relay()),
      Line_(std::move(line)) {
    Build(connection);
}

CMainController::~CMainController() {
    Shutdown();
}

void CMainController::Build(const ConnectionSettings& connection) {
    Connection_ = std::make_unique<CConnectionController>(connection, *Line_, Relay_, *this,
                                                          Window_, Dialogs_);
    Line_->SetShowFields([this] {
        Window_.ShowFields();
        Connection_->ShowLinkState();
    });
    const WindowActions actions{Window_, Dialogs_, *this, Relay_, [this] { UpdateControls(); }};
    Polling_ = std::make_unique<CPollingActions>(actions, *Line_, *Connection_);
    Settings_ = std::make_unique<CSettingsActions>(actions);
    Commands_ = std::make_unique<CCommandActions>(actions);
    Maintenance_ = std::make_unique<CMaintenanceActions>(actions);

    connect(Polling_.get(), &CPollingActions::PollTickShown, this, &CMainController::PollTickShown);
    connect(Polling_.get(), &CPollingActions::PollingStarted, this,
            &CMainController::PollingStarted);
    connect(Settings_.get(), &CSettingsActions::SettingsWritten, this,
            &CMainController::SettingsWritten);
    connect(Settings_.get(), &CSettingsActions::DeviceWritten, this,
            &CMainController::DeviceWritten);
    connect(Commands_.get(), &CCommandActions::DeviceWritten, this,
            &CMainController::DeviceWritten);
    connect(Commands_.get(), &CCommandActions::EventRecordsRead, this,
            &CMainController::EventRecordsRead);
    connect(Maintenance_.get(), &CMaintenanceActions::DeviceWritten, this,
            &CMainController::DeviceWritten);
    connect(Maintenance_.get(), &CMaintenanceActions::CoefficientsRead, this,
            &CMainController::CoefficientsRead);
    connect(Connection_.get(), &CConnectionController::DeviceWritten, this,
            &CMainController::DeviceWritten);
    connect(Connection_.get(), &CConnectionController::PortOpened, this,
            &CMainController::PortOpened);
    // Every change ends with its line in the relay's audit log; the operator is told when the
    // line could not be written.
    connect(this, &CMainController::DeviceWritten, this, [this](const DeviceWrite& write) {
        QString message;
        if (!Relay_.Audit().Record(WriteEntry(write), &message)) {
            Dialogs_.Inform(&Window_, message);
        }
    });
    // A relay outside a plant is logged under its port.
    if (Relay_.Audit().Tag().isEmpty()) {
        Relay_.Audit().SetLine(connection.PortText);
    }
    connect(this, &CMainController::PortOpened, this, [this](const ConnectionSettings& opened) {
        if (Relay_.Audit().Tag().isEmpty()) {
            Relay_.Audit().SetLine(opened.PortText);
        }
    });

    connect(&Window_, &CMotorProtectorDlg::CommandRequested, this, &CMainController::Run);
    connect(&Window_, &CMotorProtectorDlg::StepRequested, Settings_.get(), &CSettingsActions::Step);
    connect(&Window_, &CMotorProtectorDlg::ProtectionClicked, Settings_.get(),
            &CSettingsActions::ProtectionClicked);
    connect(&Window_, &CMotorProtectorDlg::Closing, this, &CMainController::Shutdown);
    // The link words are formed from the freshness marks: again in the new language.
    connect(&Window_, &CMotorProtectorDlg::LanguageChanged, Connection_.get(),
            &CConnectionController::ShowLinkState);
    for (QObject* menu : Window_.ReconnectAction()->associatedObjects()) {
        if (auto* shown = qobject_cast<QMenu*>(menu)) {
            connect(shown, &QMenu::aboutToShow, Connection_.get(),
                    &CConnectionController::UpdateReconnectAction);
        }
    }
}

void CMainController::Run(MainCommand command) {
    using C = MainCommand;
    switch (command) {
        case C::ReadRealtimeData:
            return Polling_->Read();
        case C::StopRun:
            return Polling_->Stop();
        case C::WriteSettings:
            return Settings_->Write();
        case C::RestoreDefaults:
            return Settings_->RestoreDefaults();
        case C::ChangeCommParams:
            return Connection_->ChangeDeviceCommParams();
        case C::CalibrateCurrent:
            return Maintenance_->CalibrateCurrent();
        case C::SetStartMode:
            return Commands_->SetStartMode();
        case C::CloseOutputA:
            return Commands_->CloseOutputA();
        case C::OpenOutputA:
            return Commands_->OpenOutputA();
        case C::CloseOutputB:
            return Commands_->CloseOutputB();
        case C::OpenOutputB:
            return Commands_->OpenOutputB();
        case C::ResetOutputs:
            return Commands_->ResetOutputs();
        case C::ShowUsageNotes:
            return Dialogs_.ShowUsageNotes(&Window_);
        case C::MaintenanceUnlock:
            return Maintenance_->Unlock();
        case C::SendPwmOutput:
            return Maintenance_->SendPwmOutput();
        case C::CalibrateVoltage:
            return Maintenance_->CalibrateVoltage();
        case C::ReadCoefficients:
            return Maintenance_->ReadCoefficients();
        case C::ResetCurrentCoefficients:
            return Maintenance_->ResetCurrentCoefficients();
        case C::ResetVoltageCoefficients:
            return Maintenance_->ResetVoltageCoefficients();
        case C::ReadEventRecords:
            return Commands_->ReadEventRecords();
        case C::Reconnect:
            return Connection_->Reconnect();
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
    f.ConnectionSummary = Connection_->Summary();
    RestoreProtectionDefaults(f.Settings);
    f.Settings.DefiniteTimeTime = "0";
    Window_.ShowFields();
    // The values the program put there are no edits of the operator.
    Window_.MarkSettingsHeld();
    Connection_->ShowLine();
    UpdateControls();
    Line_->Start();
    Connection_->OpenLine();
}

void CMainController::Shutdown() {
    if (!Line_ || Line_->IsShutDown()) {
        return;
    }
    // Every stop before the worker is waited for: the read command's session, then (in the
    // line's shutdown) whatever operation runs and the clock's waits.
    Polling_->EndSession();
    Line_->Shutdown();
}

CIoWorker& CMainController::Worker() {
    return Line_->Worker();
}

CModbusTransaction& CMainController::Link() {
    return Line_->Link();
}

const ConnectionSettings& CMainController::Connection() const {
    return Connection_->Connection();
}

const COperationState& CMainController::Operation() const {
    return Relay_.Operation();
}

void CMainController::SetFastRefresh(bool on) {
    Polling_->SetFastRefresh(on);
}

void CMainController::UseLine(uint8_t address, int baudRate, int parity,
                              std::function<void(bool)> done) {
    Connection_->UseLine(address, baudRate, parity, std::move(done));
}

bool CMainController::Allowed(OperatorAction action) {
    const Refusal refusal = Relay_.Operation().RefusalOf(action);
    if (refusal == Refusal::None) {
        return true;
    }
    Dialogs_.Inform(&Window_, refusal == Refusal::Locked
                                  ? tr("请先输入调试密码")
                                  : tr("正在与设备通讯，请等当前操作完成后再试。"));
    return false;
}

bool CMainController::RequireLine() {
    if (Relay_.Operation().LineOpen()) {
        return true;
    }
    Dialogs_.Inform(&Window_, tr("串口 %1 未打开，无法与设备通信。").arg(Connection().PortText));
    return false;
}

int CMainController::Begin(OperatorAction action) {
    const int token = Relay_.Operation().Begin(action);
    UpdateControls();
    return token;
}

void CMainController::Queue(OperatorAction action, DeviceJob job) {
    const int token = Begin(action);
    Line_->Worker().Post([this, token, job = std::move(job)](CDeviceContext& ctx) {
        job(ctx);
        // After every closure the operation handed the window.
        ctx.Post([this, token] { Finish(token); });
    });
}

void CMainController::Post(DeviceJob job) {
    Line_->Worker().Post(std::move(job));
}

void CMainController::Finish(int token) {
    Relay_.Operation().End(token);
    UpdateControls();
}

void CMainController::UpdateControls() {
    const COperationState& state = Relay_.Operation();
    for (const MainCommand command : kStateCommands) {
        const OperatorAction action = ActionOf(command);
        Window_.SetCommandEnabled(command, state.ButtonAllows(action), state.Allows(action));
    }
    Window_.SetSettingsEditingEnabled(state.Allows(OperatorAction::EditSettings));
    Connection_->UpdateReconnectAction();
    const OperationState now = state.State();
    Window_.SetBusy(now == OperationState::Starting || now == OperationState::Busy);
}

}  // namespace mp
