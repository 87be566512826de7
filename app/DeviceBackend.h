#pragma once
// The port and clock the tool talks through: the serial port chosen at start-up, or the
// built-in simulated device.

#include <functional>
#include <memory>
#include <string>

#include "app/ConnectionSettings.h"
#include "modbus/Clock.h"
#include "modbus/Port.h"

namespace mp {

class CSimulatedDevice;

class CDeviceBackend {
public:
    virtual ~CDeviceBackend() = default;
    virtual IPort& Port() = 0;
    virtual IClock& Clock() = 0;
    // The line settings OpenPort is given for this connection.
    virtual PortSettings LineSettings(const ConnectionSettings& connection) const = 0;
    // Called on the I/O thread when an open line fails for good (an adapter unplugged).
    virtual void SetLostHandler(std::function<void(const std::string& message)> /*lost*/) {}

    static std::unique_ptr<CDeviceBackend> Create(const ConnectionSettings& connection);
};

}  // namespace mp
