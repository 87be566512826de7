#pragma once
// Test rigs for device operations: the simulated device on a virtual clock behind a port that
// can keep chosen requests off the line, and a port that answers every request with a given
// frame. Both run the window side through CImmediateWindow.

#include <QString>
#include <algorithm>
#include <deque>
#include <string>
#include <vector>

#include "modbus/DeviceContext.h"
#include "modbus/ModbusTransaction.h"
#include "simulator/SimulatedDevice.h"
#include "simulator/SimulatedPort.h"
#include "simulator/VirtualClock.h"
#include "support/ImmediateWindow.h"

namespace mp::test {

inline QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

// Forwards to another port, except that requests listed in Muted never reach the line (the
// device then stays silent for them).
class CMutingPort : public IPort {
public:
    explicit CMutingPort(IPort& line) : Line_(line) {}

    bool OpenPort(const PortSettings& settings) override { return Line_.OpenPort(settings); }
    void ClosePort() override { Line_.ClosePort(); }
    bool IsPortOpen() const override { return Line_.IsPortOpen(); }
    bool Reconfigure(const PortSettings& settings) override { return Line_.Reconfigure(settings); }
    std::string LastError() const override { return Line_.LastError(); }
    void DiscardInput() override { Line_.DiscardInput(); }
    void WriteBytes(const std::vector<uint8_t>& bytes) override {
        if (std::find(Muted.begin(), Muted.end(), bytes) == Muted.end()) {
            Line_.WriteBytes(bytes);
        }
    }
    int16_t WaitingCount() override { return Line_.WaitingCount(); }
    std::vector<uint8_t> ReadAllWaiting() override { return Line_.ReadAllWaiting(); }

    std::vector<std::vector<uint8_t>> Muted;

private:
    IPort& Line_;
};

// The simulated device at 9600 baud, its live values frozen, on a virtual clock.
struct CSimulatedLink {
    explicit CSimulatedLink(uint8_t address = 1, uint32_t clockStart = 0)
        : Clock(clockStart),
          Port(Device, Clock),
          Line(Port),
          Link(Line, Clock),
          Ctx(Link, Window, Window) {
        Device.SetAddress(address);
        Device.SetLiveMotion(false);
        Port.OpenPort(PortSettings{"sim", 9600, kParityNone});
        Link.SetSlaveAddress(address);
    }

    // The request frames that reached the line, in order.
    std::vector<std::vector<uint8_t>> SentFrames() const {
        std::vector<std::vector<uint8_t>> frames;
        for (const auto& sent : Port.Sent()) {
            frames.push_back(sent.Bytes);
        }
        return frames;
    }

    void SetFaults(const SimFaults& faults) { Port.SetFaults(faults); }
    void Silence() {
        SimFaults faults;
        faults.Silent = true;
        Port.SetFaults(faults);
    }

    CVirtualClock Clock;
    CSimulatedDevice Device;
    CSimulatedPort Port;
    CMutingPort Line;
    CModbusTransaction Link;
    CImmediateWindow Window;
    CDeviceContext Ctx;
};

// Answers every request written to it with the next scripted reply (none when the script is
// used up): the reply is waiting in the input when the wait ends.
class CScriptedPort : public IPort {
public:
    bool OpenPort(const PortSettings&) override { return Open_ = true; }
    void ClosePort() override { Open_ = false; }
    bool IsPortOpen() const override { return Open_; }
    bool Reconfigure(const PortSettings&) override { return Open_; }
    std::string LastError() const override { return {}; }
    void DiscardInput() override { Input_.clear(); }
    void WriteBytes(const std::vector<uint8_t>& bytes) override {
        Sent.push_back(bytes);
        if (!Replies.empty()) {
            Input_ = Replies.front();
            Replies.pop_front();
        }
    }
    int16_t WaitingCount() override { return static_cast<int16_t>(Input_.size()); }
    std::vector<uint8_t> ReadAllWaiting() override {
        std::vector<uint8_t> bytes;
        bytes.swap(Input_);
        return bytes;
    }

    std::deque<std::vector<uint8_t>> Replies;
    std::vector<std::vector<uint8_t>> Sent;

private:
    bool Open_ = true;
    std::vector<uint8_t> Input_;
};

struct CScriptedLink {
    CScriptedLink() : Link(Port, Clock), Ctx(Link, Window, Window) {}

    CVirtualClock Clock;
    CScriptedPort Port;
    CModbusTransaction Link;
    CImmediateWindow Window;
    CDeviceContext Ctx;
};

}  // namespace mp::test
