#pragma once
// The main window's dispatcher: each command of the window goes to the handlers of its
// capability, and every operation they ask for is judged by the relay's operation state and
// queued on the line's worker. The controller keeps the window's buttons and menu items
// enabled as that state allows. It lives on the window thread.

#include <QObject>
#include <memory>

#include "app/MainCommand.h"
#include "events/EventRecordTexts.h"
#include "line/ConnectionSettings.h"
#include "maintenance/CalibrationGrid.h"
#include "monitoring/PollingCycle.h"
#include "relay/DeviceWriteLog.h"
#include "relay/OperationQueue.h"
#include "settings/ProtectionSettings.h"

namespace mp {

class CCommandActions;
class CConnectionController;
class CDeviceLine;
class CIoWorker;
class CMaintenanceActions;
class CModbusTransaction;
class CMotorProtectorDlg;
class CPollingActions;
class CRelay;
class CSettingsActions;
class IClock;
class IMainDialogs;
class IPort;

class CMainController : public QObject, public IOperationQueue {
    Q_OBJECT
public:
    // Talks through the port the connection names (a serial port or the built-in simulated
    // device) to the relay the window shows.
    CMainController(CMotorProtectorDlg& window, IMainDialogs& dialogs,
                    const ConnectionSettings& connection, QObject* parent = nullptr);
    // Talks through the given port and clock (tests).
    CMainController(CMotorProtectorDlg& window, IMainDialogs& dialogs,
                    const ConnectionSettings& connection, IPort& port, IClock& clock,
                    QObject* parent = nullptr);
    // Talks through `line`: a relay's share of a plant's line.
    CMainController(CMotorProtectorDlg& window, IMainDialogs& dialogs,
                    const ConnectionSettings& connection, std::unique_ptr<CDeviceLine> line,
                    QObject* parent = nullptr);
    ~CMainController() override;

    // The window's initialisation: factory values, fields shown, the line opened.
    void Start();
    // The program closes: stops the read command's session, the operation running on the
    // worker (at its next exchange) and the clock's waits, then closes the port and ends the
    // worker; runs once. Returns within about a second whatever was running.
    void Shutdown();
    // Runs the window's command as its button or menu item would.
    void Run(MainCommand command);

    CDeviceLine& Line() { return *Line_; }
    CIoWorker& Worker();
    CModbusTransaction& Link();
    CConnectionController& ConnectionSide() { return *Connection_; }
    const ConnectionSettings& Connection() const;
    const COperationState& Operation() const;
    bool PortOpen() const { return Operation().LineOpen(); }
    void SetFastRefresh(bool on);
    void UseLine(uint8_t address, int baudRate, int parity,
                 std::function<void(bool connected)> done = nullptr);

    bool Allowed(OperatorAction action) override;
    bool RequireLine() override;
    void Queue(OperatorAction action, DeviceJob job) override;
    int Begin(OperatorAction action) override;
    void Finish(int token) override;
    void Post(DeviceJob job) override;

signals:
    void SettingsWritten(const mp::ProtectionSettings& written);
    // A write to the device has ended: what it was, to which address, and its outcome.
    void DeviceWritten(const mp::DeviceWrite& write);
    void CoefficientsRead(const mp::CalibrationGrid& grid);
    void EventRecordsRead(const mp::EventRecordTexts& texts);
    void PortOpened(const mp::ConnectionSettings& connection);
    void PollTickShown(const mp::PollTickResult& answered);
    void PollingStarted();

private:
    void Build(const ConnectionSettings& connection);
    // Every button and menu item enabled as the operation state allows.
    void UpdateControls();

    CMotorProtectorDlg& Window_;
    IMainDialogs& Dialogs_;
    CRelay& Relay_;
    std::unique_ptr<CDeviceLine> Line_;
    std::unique_ptr<CConnectionController> Connection_;
    std::unique_ptr<CPollingActions> Polling_;
    std::unique_ptr<CSettingsActions> Settings_;
    std::unique_ptr<CCommandActions> Commands_;
    std::unique_ptr<CMaintenanceActions> Maintenance_;
    bool Started_ = false;
};

}  // namespace mp
