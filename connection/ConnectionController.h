#pragma once
// The connection of a relay's window: the line opened as chosen at start-up, the line in use
// in the status bar, the link lamp, a lost port tried again, "重新连接...", another address
// and rate on the same port, and the change of the device's own address and rate. It lives on
// the window thread; every exchange runs on the line's worker.

#include <QObject>
#include <QString>
#include <functional>

#include "line/ConnectionSettings.h"
#include "relay/DeviceWriteLog.h"
#include "relay/OperationQueue.h"

namespace mp {

struct CommChangeResult;
class CDeviceLine;
class CRelay;
class IConnectionDialogs;
class IConnectionView;

class CConnectionController : public QObject {
    Q_OBJECT
public:
    CConnectionController(const ConnectionSettings& connection, CDeviceLine& line, CRelay& relay,
                          IOperationQueue& operations, IConnectionView& view,
                          IConnectionDialogs& dialogs, QObject* parent = nullptr);

    const ConnectionSettings& Connection() const { return Connection_; }
    // The connection's words kept with the fields: address, port, rate and parity.
    std::string Summary() const;

    // Opens the line of the connection (closing what was open) and reports a failure.
    void OpenLine();
    // The link lamp and its words from the recovery and the live reads' freshness.
    void ShowLinkState();
    // The line in use (port, rate, parity, address) in the status bar's field for it.
    void ShowLine();
    // "重新连接..." may be given: nothing runs or waits, and the program is not closing.
    bool CanReconnect() const;
    void UpdateReconnectAction();

    // "重新连接...": the start-up dialog again, and the line reopened with what it gives.
    void Reconnect();
    // Reads the device's address and rate, asks the operator for new ones and writes them.
    void ChangeDeviceCommParams();
    // Another slave address, baud rate and parity on the same port, only while idle (so
    // polling is off). `done` hears whether the port took the line (false also when refused).
    void UseLine(uint8_t address, int baudRate, int parity,
                 std::function<void(bool connected)> done = nullptr);

signals:
    // The port opened at start-up: the connection works and is worth remembering.
    void PortOpened(const mp::ConnectionSettings& connection);
    // A change of the device's address and rate has ended.
    void DeviceWritten(const mp::DeviceWrite& write);

private:
    void OnPortLost(const QString& message);
    void OnPortBack();
    void ApplyCommChange(const CommChangeResult& result, int newAddress, int newRate);
    // Queues the opening of the line; `done` runs on the window thread with its outcome.
    void QueueOpen(std::function<void(bool opened, const QString& reason)> done);
    void ReportOpenFailure(const QString& reason);
    void Inform(const QString& text);
    // Whether the relay's audit log can take the change; the operator is told why not.
    bool AuditAdmits();

    ConnectionSettings Connection_;
    CDeviceLine& Line_;
    CRelay& Relay_;
    IOperationQueue& Operations_;
    IConnectionView& View_;
    IConnectionDialogs& Dialogs_;
};

}  // namespace mp
