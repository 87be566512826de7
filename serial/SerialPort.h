#pragma once
// The real serial port on Qt Serial Port behind the port interface. Created, used and
// destroyed on the one I/O thread, which runs no event loop: reception happens only inside
// the wait functions, so every operation first pulls in what the system holds.

#include <QSerialPort>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "modbus/Port.h"

namespace mp {

class CSerialPort : public IReceivingPort {
public:
    CSerialPort();
    ~CSerialPort() override;
    CSerialPort(const CSerialPort&) = delete;
    CSerialPort& operator=(const CSerialPort&) = delete;

    // Opens the port named in `settings` ("COM3" or a device path) at its baud rate and
    // parity, 8 data bits, 1 stop bit, no flow control, and empties its input. On failure
    // the port stays closed and LastError() names the port and the reason.
    bool OpenPort(const PortSettings& settings) override;
    void ClosePort() override;
    bool IsPortOpen() const override;
    // Waits until every queued byte has left the line, then changes baud rate and parity.
    bool Reconfigure(const PortSettings& settings) override;
    std::string LastError() const override;

    void DiscardInput() override;
    // Hands the bytes to the system at once; does not wait for them to cross the line.
    void WriteBytes(const std::vector<uint8_t>& bytes) override;
    int16_t WaitingCount() override;
    std::vector<uint8_t> ReadAllWaiting() override;

    bool Receive(int ms) override;

    PortSettings Settings() const;
    // Called (on the I/O thread) when an open port fails, for instance when its adapter is
    // unplugged; the port is closed by then and LastError() holds the message.
    void SetLostHandler(LostFn lost) override { Lost_ = std::move(lost); }

private:
    bool ApplySettings(const PortSettings& settings);
    void PullInput();
    void WaitUntilSent();
    // Closes the port and reports it when it has failed for good.
    bool CheckFailure();
    void SetLastError(const std::string& message);

    std::unique_ptr<QSerialPort> Port_;
    std::atomic<bool> Open_{false};
    PortSettings Settings_;
    mutable std::mutex ErrorMutex_;
    std::string LastError_;
    LostFn Lost_;
};

}  // namespace mp
