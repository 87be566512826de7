#include "line/DeviceBackend.h"

#include "device/LineCodes.h"
#include "modbus/SteadyClock.h"
#include "serial/SerialPort.h"
#include "serial/SerialPortClock.h"
#include "simulator/SimulatedDevice.h"
#include "simulator/SimulatedPort.h"

namespace mp {
namespace {

class CSerialBackend : public CDeviceBackend {
public:
    CSerialBackend() : Clock_(Port_) {}
    IPort& Port() override { return Port_; }
    IClock& Clock() override { return Clock_; }

private:
    CSerialPort Port_;
    CSerialPortClock Clock_;
};

// The built-in simulated device answers at the address and rate chosen at start-up, so
// that the tool finds it whatever the operator picked.
class CSimulatedBackend : public CDeviceBackend {
public:
    explicit CSimulatedBackend(const ConnectionSettings& connection)
        : Device_(static_cast<uint32_t>(connection.SlaveAddress)), Port_(Device_, Clock_) {
        Follow(connection);
    }
    void Follow(const ConnectionSettings& connection) override {
        Device_.SetAddress(connection.SlaveAddress);
        const int code = BaudCodeOfRate(connection.BaudRate);
        if (code >= 0) {
            Device_.SetBaudCode(code);
        }
    }
    IPort& Port() override { return Port_; }
    IClock& Clock() override { return Clock_; }

private:
    CSteadyClock Clock_;
    CSimulatedDevice Device_;
    CSimulatedPort Port_;
};

}  // namespace

std::unique_ptr<CDeviceBackend> CDeviceBackend::Create(const ConnectionSettings& connection) {
    if (connection.Simulated()) {
        return std::make_unique<CSimulatedBackend>(connection);
    }
    return std::make_unique<CSerialBackend>();
}

}  // namespace mp
