#pragma once
// The small port interface every exchange runs over. The real serial port, the simulated
// device's in-process port and the test ports implement it.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace mp {

class IClock;

// Parity codes as the setup dialog gives them.
enum ParityCode : int { kParityNone = 0, kParityOdd = 1, kParityEven = 2 };

struct PortSettings {
    std::string Name;  // "COM3", "/dev/ttyUSB0", ...
    int BaudRate = 9600;
    int Parity = kParityNone;  // 8 data bits and 1 stop bit always
};

class IPort {
public:
    // Told the port's words for it when an open port fails for good.
    using LostFn = std::function<void(const std::string& message)>;

    virtual ~IPort() = default;

    // Opens the port with the given settings and empties its input. False on failure, with
    // the reason in LastError().
    virtual bool OpenPort(const PortSettings& settings) = 0;
    virtual void ClosePort() = 0;
    virtual bool IsPortOpen() const = 0;
    // Changes the line settings of an open port after every queued byte has left.
    virtual bool Reconfigure(const PortSettings& settings) = 0;
    virtual std::string LastError() const = 0;

    // Drops every byte waiting in the input.
    virtual void DiscardInput() = 0;
    // Queues the bytes for sending, in order, without waiting for them to leave.
    virtual void WriteBytes(const std::vector<uint8_t>& bytes) = 0;
    // Number of received bytes waiting in the input (0 on a closed port).
    virtual int16_t WaitingCount() = 0;
    // Every waiting byte in arrival order; the input is empty afterwards.
    virtual std::vector<uint8_t> ReadAllWaiting() = 0;

    // Called on the thread that uses the port when the open port fails for good (an adapter
    // unplugged); the port is closed by then. A port that cannot fail so ignores it.
    virtual void SetLostHandler(LostFn lost) { (void)lost; }

    // The program is closing (any thread): a wait of the port's own that may last long (a
    // connection being made) gives up within half a second. A port without one ignores it.
    virtual void EndWaits() {}

    // Lets up to `ms` milliseconds of `clock` pass, ending early once input has arrived, so
    // that a wait for a reply wakes when the bytes come rather than every millisecond. False
    // when the port cannot wait so: the caller then sleeps in short slices itself.
    virtual bool WaitForInput(IClock& clock, uint32_t ms) {
        (void)clock;
        (void)ms;
        return false;
    }
};

// A port that takes bytes in only while one of its waits runs (a port living on a thread
// without an event loop: the serial port, the TCP connection to a gateway).
class IReceivingPort : public IPort {
public:
    // Keeps receiving for up to `ms` milliseconds, returning early when bytes arrive. False
    // when the port cannot receive (closed or failed): the caller must wait some other way.
    virtual bool Receive(int ms) = 0;

    // Receives in slices short enough for a close to be noticed between them.
    bool WaitForInput(IClock& /*clock*/, uint32_t ms) override {
        return IsPortOpen() && Receive(static_cast<int>(std::min<uint32_t>(ms, kInputSliceMs)));
    }
    static constexpr uint32_t kInputSliceMs = 50;
};

}  // namespace mp
