#pragma once
// The main window's handlers: they take and show the window's fields, ask the operator what
// must be asked, queue device operations on the I/O worker and apply what comes back. Every
// exchange with the device runs on the worker; this object lives on the window thread.

#include <QObject>
#include <QString>
#include <array>
#include <atomic>
#include <functional>
#include <memory>

#include "app/ConnectionSettings.h"
#include "app/IoWorker.h"
#include "app/MainCommand.h"
#include "app/OperationState.h"
#include "events/EventRecordTexts.h"
#include "files/DeviceWriteLog.h"
#include "maintenance/Calibration.h"
#include "modbus/Clock.h"
#include "modbus/ClosingClock.h"
#include "modbus/ModbusTransaction.h"
#include "modbus/Port.h"
#include "monitoring/PollingCycle.h"
#include "settings/ProtectionSettings.h"
#include "settings/StepField.h"

namespace mp {

class CDeviceBackend;
struct CommChangeResult;
class CDeviceContext;
struct LiveValues;
class CMotorProtectorDlg;
class CPollSession;
class CWindowQueue;
class IMainDialogs;

class CMainController : public QObject {
    Q_OBJECT
public:
    // Talks through the port the connection names (a serial port or the built-in simulated
    // device).
    CMainController(CMotorProtectorDlg& window, IMainDialogs& dialogs,
                    const ConnectionSettings& connection, QObject* parent = nullptr);
    // Talks through the given port and clock (tests).
    CMainController(CMotorProtectorDlg& window, IMainDialogs& dialogs,
                    const ConnectionSettings& connection, IPort& port, IClock& clock,
                    QObject* parent = nullptr);
    ~CMainController() override;

    // The window's initialisation: factory values, fields shown, port opened on the worker.
    void Start();
    // The program closes: stops the read command's session, the operation running on the
    // worker (at its next exchange) and the clock's waits, then closes the port and ends the
    // worker; runs once. Returns within about a second whatever was running.
    void Shutdown();

    CIoWorker& Worker() { return *Worker_; }
    bool PortOpen() const { return PortOpen_; }
    const COperationState& Operation() const { return State_; }
    // True when the operation state allows the action now; otherwise tells the operator why.
    bool Allowed(OperatorAction action);
    // Queues an operation on the worker as one pending operation of the state; the controls
    // follow the state when it is queued and again when it has ended.
    void Queue(OperatorAction action, CIoWorker::Job job);
    const ConnectionSettings& Connection() const { return Connection_; }
    // Fast refresh: every read ends its wait once its whole reply is there and the poll ticks
    // run back to back; off: the reads' fixed waits and the timer's period.
    void SetFastRefresh(bool on);
    // The transaction every operation runs on (for the diagnostics' observer).
    CModbusTransaction& Link() { return Link_; }
    // Takes another slave address, baud rate and parity on the same port, only while idle
    // (so polling is off): the port is set anew on the worker. The status bar says where the
    // tool is now connected; `done` hears whether the port took the line (false also when
    // refused because something runs).
    void UseLine(uint8_t address, int baudRate, int parity,
                 std::function<void(bool connected)> done = nullptr);

    // The handlers, one per operation of the window.
    void OnReadRealtimeData();
    void OnStopRun();
    void WriteSettings();
    void RestoreProtectionDefaults();
    void ChangeDeviceCommParams();
    void SetStartMode();
    void CloseOutputA();
    void OpenOutputA();
    void CloseOutputB();
    void OpenOutputB();
    void ResetOutputs();
    void ShowUsageNotes();
    void MaintenanceUnlock();
    void CalibrateCurrent();
    void CalibrateVoltage();
    void SendPwmOutput();
    void ReadCoefficients();
    void ResetCurrentCoefficients();
    void ResetVoltageCoefficients();
    void ReadEventRecords();
    void StepSetting(StepField field, bool up);
    void OnProtectionClicked(int protection, bool checked);
    // "重新连接...": the start-up dialog again, and the line reopened with what it gives.
    void Reconnect();

    // A lost port is tried again this often, on the worker's clock.
    static constexpr uint32_t kReopenPeriodMs = 2000;

signals:
    // A write of which every group was sent and read back, with the values written; their
    // StartModeText is the start mode the device kept (the write leaves it as it was).
    void SettingsWritten(const mp::ProtectionSettings& written);
    // A write to the device has ended: what it was, to which address, and its outcome.
    void DeviceWritten(const mp::DeviceWrite& write);
    // The coefficients read back from the device, as the grid now shows them.
    void CoefficientsRead(const mp::CalibrationGrid& grid);
    // The event records read from the device, before their window opens.
    void EventRecordsRead(const mp::EventRecordTexts& texts);
    // The port opened at start-up: the connection works and is worth remembering.
    void PortOpened(const mp::ConnectionSettings& connection);
    // After a poll tick's final show, on the window thread: the live values now hold what the
    // tick found, and `answered` says which of its reads found their response.
    void PollTickShown(const mp::PollTickResult& answered);
    // The read command was given: the ticks that follow are a new run of polling, not joined
    // to those of an earlier one.
    void PollingStarted();

private:
    void Connect();
    void OnCommand(MainCommand command);
    void Finish(int token);
    // Every button and menu item enabled as the operation state allows.
    void UpdateControls();
    // True when the port is open; otherwise tells the operator that nothing can reach the
    // device.
    bool RequirePort();
    // True once the maintenance password has been given; otherwise tells the operator.
    // Fits the grid's phase rows and queues the current or voltage calibration frame.
    void Calibrate(void (*calibrate)(CDeviceContext&, std::array<LineFit, 3>, CoefficientDone),
                   const char* doneText);
    // Queues the current or voltage coefficient reset.
    void ResetCoefficients(void (*reset)(CDeviceContext&, CoefficientDone));
    // Queues one of the output commands with the window's lamps; the status bar says when the
    // device did not confirm the outputs' state, and when a later command was confirmed.
    void QueueOutputCommand(bool (*command)(CDeviceContext&, LiveValues*));
    void Inform(const QString& text);
    // The end of a change of the device's address and rate: the tool follows the device only
    // when it confirmed the new values.
    void ApplyCommChange(const CommChangeResult& result, int newAddress, int newRate);
    // Says that a write to the device at the present address has ended with `outcome`.
    void ReportWrite(DeviceWriteKind kind, DeviceWriteOutcome outcome);
    PortSettings LineSettings() const;
    QString ConnectionSummary() const;

    // Opens the line of Connection_ on the worker (closing what was open) and reports a
    // failure to the operator.
    void OpenLine();
    // The port failed while open: said once, then tried again quietly every 2 s with the
    // same settings; polling goes on and resumes reading when the port is back.
    void OnPortLost(const QString& message);
    void ScheduleReopen();
    void OnReopened(unsigned recovery, bool opened);
    // The link lamp and its words from the recovery and the live reads' freshness.
    void ShowLinkState();
    // The line in use (port, rate, parity, address) in the status bar's field for it.
    void ShowLine();
    // No operation runs or waits (what "重新连接..." needs).
    bool CanReconnect() const;
    void UpdateReconnectAction();

    CMotorProtectorDlg& Window_;
    IMainDialogs& Dialogs_;
    ConnectionSettings Connection_;
    std::unique_ptr<CDeviceBackend> Backend_;
    IPort& Port_;
    IClock& Clock_;
    // The clock of every exchange: the line's, with its waits ended at the close.
    CClosingClock WorkerClock_;
    CModbusTransaction Link_;
    std::unique_ptr<CWindowQueue> Queue_;
    std::unique_ptr<CIoWorker> Worker_;
    COperationState State_;
    std::shared_ptr<CPollSession> Session_;
    bool PortOpen_ = false;
    bool Started_ = false;
    bool ShutDown_ = false;
    bool Recovering_ = false;
    // Numbers the recoveries: a reopen attempt of an earlier one does nothing.
    std::atomic<unsigned> Recovery_{0};
};

}  // namespace mp
