#pragma once
// A line reached through an Ethernet gateway: a TCP connection behind the port interface.
// With Rtu framing the gateway carries the RTU frames as they are (CRC included); with Mbap
// framing it speaks Modbus TCP, and the frames are turned into ADUs and back here, so the
// transaction above still sees RTU frames. Created, used and destroyed on the line's one I/O
// thread, which runs no event loop: the socket takes bytes in only inside the wait functions,
// so every operation first pulls in what the system holds.

#include <QTcpSocket>
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "modbus/LineEndpoint.h"
#include "modbus/MbapCodec.h"
#include "modbus/Port.h"

namespace mp {

class CTcpPort : public IReceivingPort {
public:
    explicit CTcpPort(const LineEndpoint& endpoint);
    ~CTcpPort() override;
    CTcpPort(const CTcpPort&) = delete;
    CTcpPort& operator=(const CTcpPort&) = delete;

    // Connects to the endpoint's host and port within its connect timeout. `settings` gives
    // the rate of the gateway's serial side (the 3.5-character silence); its name is not used.
    // On failure LastError() names the host, the port and the reason.
    bool OpenPort(const PortSettings& settings) override;
    void ClosePort() override;
    bool IsPortOpen() const override;
    // Takes the new rate and parity of the gateway's serial side; the connection stays.
    bool Reconfigure(const PortSettings& settings) override;
    std::string LastError() const override;

    // Drops the frames received so far. With Mbap framing the bytes of an ADU still arriving
    // stay with the decoder, so that the stream keeps its boundaries (its transaction id will
    // not be the next request's).
    void DiscardInput() override;
    void WriteBytes(const std::vector<uint8_t>& bytes) override;
    int16_t WaitingCount() override;
    std::vector<uint8_t> ReadAllWaiting() override;

    bool Receive(int ms) override;

    // Called on the I/O thread once when the open connection is closed by the gateway or
    // fails; the port is closed by then and LastError() holds the message.
    void SetLostHandler(LostFn lost) override { Lost_ = std::move(lost); }

    const LineEndpoint& Endpoint() const { return Endpoint_; }
    // A connection being made gives up at its next attempt (any thread).
    void EndWaits() override { WaitsEnded_.store(true); }
    // A connection is tried in attempts of at most this long, the end looked at between them.
    static constexpr int kAttemptMs = 500;
    PortSettings Settings() const { return Settings_; }

private:
    void PullInput();
    void TakeIn(const QByteArray& data);
    // Closes the port and reports it when the connection is gone; true when it did.
    bool CheckFailure();
    void SetLastError(const std::string& message);

    LineEndpoint Endpoint_;
    PortSettings Settings_;
    std::unique_ptr<QTcpSocket> Socket_;
    std::atomic<bool> Open_{false};
    std::atomic<bool> WaitsEnded_{false};
    std::vector<uint8_t> Input_;
    CMbapDecoder Decoder_;
    uint16_t Transaction_ = 0;
    mutable std::mutex ErrorMutex_;
    std::string LastError_;
    LostFn Lost_;
};

}  // namespace mp
