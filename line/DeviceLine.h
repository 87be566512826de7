#pragma once
// One line to the devices: a port (a serial port, an Ethernet gateway, or the built-in
// simulated devices), the clock of its waits, the transaction that keeps the exchange rules
// (silence, late replies, one exchange at a time), and the one I/O worker every exchange on
// the line runs on. A lost port (or a gateway's closed connection) is tried again here until
// it is back or another line is chosen. The relays on the line queue their operations on its
// worker.

#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

#include "line/ConnectionSettings.h"
#include "line/IoWorker.h"
#include "modbus/Clock.h"
#include "modbus/ClosingClock.h"
#include "modbus/LineEndpoint.h"
#include "modbus/ModbusTransaction.h"
#include "modbus/Port.h"

namespace mp {

class CDeviceBackend;
class CWindowQueue;

class CDeviceLine : public QObject {
    Q_OBJECT
public:
    // Talks through the port the connection names (a serial port or the built-in device).
    explicit CDeviceLine(const ConnectionSettings& connection, QObject* parent = nullptr);
    // Talks through the port the endpoint names: a line of a plant.
    explicit CDeviceLine(const LineEndpoint& endpoint, QObject* parent = nullptr);
    // Talks through the given port and clock (tests).
    CDeviceLine(IPort& port, IClock& clock, QObject* parent = nullptr);
    // A relay's share of `host`, a line of a plant: its own queue of operations, poll timer and
    // window, run on the host's worker thread between the host's own work, with its own slave
    // address and fast reply end. It neither opens, changes nor closes the host's port; a lost
    // port is the host's to recover, and the share says so as the host does. The host
    // outlives it.
    CDeviceLine(CDeviceLine& host, uint8_t address, int baudRate, QObject* parent = nullptr);
    ~CDeviceLine() override;

    // What runs on the window thread after every change an operation hands it: the view
    // shows every bound value.
    void SetShowFields(std::function<void()> show);
    // Starts the worker's thread; from now on a port failure is reported by PortLost.
    void Start();
    // Ends what runs on the worker (at its next exchange) and the clock's waits, stops the
    // retries, closes the port and ends the worker; runs once.
    void Shutdown();
    // Shutdown's first half: tells the worker to stop and close the port, without waiting.
    // A plant tells every line first, then shuts each down.
    void BeginShutdown();
    bool IsShutDown() const { return ShutDown_; }

    CIoWorker& Worker() { return *Worker_; }
    CModbusTransaction& Link() { return *Link_; }
    // Whether this is a relay's share of a plant's line.
    bool IsShare() const { return Host_ != nullptr; }
    // Fast reply end for this line's reads (a share keeps its own, the line's other users
    // theirs). May be called from the window thread.
    void SetFastReplyEnd(bool on, int baudRate);

    // True when the line was made for a connection or an endpoint (not handed a port); such a
    // line cannot change between the built-in device and a serial port while the program runs.
    bool OwnsPort() const { return Backend_ != nullptr; }
    // Another connection of the same kind was chosen (the built-in device follows its
    // address and rate).
    void Follow(const ConnectionSettings& connection);

    // On the worker: opens the line with `line` (closing what was open), talks to `address`,
    // and drops whatever the port held. False when the port did not open. A share only talks
    // to `address`, and says whether the host's port is open.
    bool Open(CDeviceContext& ctx, const PortSettings& line, uint8_t address);
    // On the worker: the same port at another rate or parity, opened if it was not. A share
    // cannot change the rate of a line other relays use: false unless `line` keeps it.
    bool Reconfigure(CDeviceContext& ctx, const PortSettings& line, uint8_t address);

    // The port failed while open: tries `line` again every kReopenPeriodMs on the worker's
    // clock until it opens (PortBack) or StopRecovery.
    void Recover(const PortSettings& line);
    // Another line was chosen: retries of the lost one stop.
    void StopRecovery();
    bool Recovering() const { return Recovering_; }

    static constexpr uint32_t kReopenPeriodMs = 2000;

signals:
    // The port failed while open (said once until it is back).
    void PortLost(const QString& message);
    // A lost port is open again.
    void PortBack();

private:
    void Build();
    void ScheduleReopen(const PortSettings& line);
    void OnReopened(unsigned recovery, bool opened, const PortSettings& line);

    std::unique_ptr<CDeviceBackend> Backend_;
    IPort& Port_;
    IClock& Clock_;
    // The clock of every exchange: the line's, with its waits ended at the close.
    CClosingClock WorkerClock_;
    CModbusTransaction OwnLink_;
    CModbusTransaction* Link_ = &OwnLink_;  // a share's is the host's
    CDeviceLine* Host_ = nullptr;
    // A share's own part of the link, kept while the host's other users talk.
    std::atomic<uint8_t> ShareAddress_{1};
    std::atomic<bool> ShareFast_{false};
    std::atomic<int> ShareBaud_{9600};
    std::function<void()> ShowFields_;
    std::unique_ptr<CWindowQueue> Queue_;
    std::unique_ptr<CIoWorker> Worker_;
    bool Started_ = false;
    bool ShutDown_ = false;
    bool ShutdownBegun_ = false;
    bool Recovering_ = false;
    // Numbers the recoveries: a reopen attempt of an earlier one does nothing.
    std::atomic<unsigned> Recovery_{0};
};

}  // namespace mp
