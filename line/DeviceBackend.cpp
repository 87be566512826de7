#include "line/DeviceBackend.h"

#include "device/LineCodes.h"
#include "modbus/ReceivingClock.h"
#include "modbus/SteadyClock.h"
#include "network/TcpPort.h"
#include "serial/SerialPort.h"
#include "simulator/SimulatedBus.h"
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
    CReceivingClock Clock_;
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

class CTcpBackend : public CDeviceBackend {
public:
    explicit CTcpBackend(const LineEndpoint& endpoint) : Port_(endpoint), Clock_(Port_) {}
    IPort& Port() override { return Port_; }
    IClock& Clock() override { return Clock_; }

private:
    CTcpPort Port_;
    CReceivingClock Clock_;
};

// Simulated devices sharing one line, each at its own address with live values of its own
// (seeded by its address), at the line's rate.
class CSimulatedLineBackend : public CDeviceBackend {
public:
    explicit CSimulatedLineBackend(const LineEndpoint& endpoint)
        : Addresses_(endpoint.SimulatedAddresses.empty() ? std::vector<uint8_t>{1}
                                                         : endpoint.SimulatedAddresses),
          First_(Addresses_.front()),
          Port_(First_, Clock_) {
        const int code = BaudCodeOfRate(endpoint.Serial.BaudRate);
        for (size_t k = 0; k < Addresses_.size(); ++k) {
            CSimulatedDevice& device =
                k == 0 ? First_
                       : *Others_.emplace_back(std::make_unique<CSimulatedDevice>(Addresses_[k]));
            device.SetAddress(Addresses_[k]);
            SetOwnLiveValues(device, Addresses_[k]);
            if (code >= 0) {
                device.SetBaudCode(code);
            }
            if (k > 0) {
                Port_.AddDevice(device);
            }
        }
    }
    IPort& Port() override { return Port_; }
    IClock& Clock() override { return Clock_; }

private:
    std::vector<uint8_t> Addresses_;
    CSteadyClock Clock_;
    CSimulatedDevice First_;
    std::vector<std::unique_ptr<CSimulatedDevice>> Others_;
    CSimulatedPort Port_;
};

}  // namespace

std::unique_ptr<CDeviceBackend> CDeviceBackend::Create(const LineEndpoint& endpoint) {
    switch (endpoint.Type) {
        case LineEndpoint::Kind::Tcp:
            return std::make_unique<CTcpBackend>(endpoint);
        case LineEndpoint::Kind::Simulated:
            return std::make_unique<CSimulatedLineBackend>(endpoint);
        case LineEndpoint::Kind::Serial:
            break;
    }
    return std::make_unique<CSerialBackend>();
}

std::unique_ptr<CDeviceBackend> CDeviceBackend::Create(const ConnectionSettings& connection) {
    if (connection.Simulated()) {
        return std::make_unique<CSimulatedBackend>(connection);
    }
    return std::make_unique<CSerialBackend>();
}

}  // namespace mp
