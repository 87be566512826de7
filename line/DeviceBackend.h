#pragma once
// The port and clock the tool talks through: the serial port chosen at start-up, or the
// built-in simulated device; for a line of a plant, its serial port, its Ethernet gateway or
// its simulated devices.

#include <memory>

#include "line/ConnectionSettings.h"
#include "modbus/Clock.h"
#include "modbus/LineEndpoint.h"
#include "modbus/Port.h"

namespace mp {

class CSimulatedDevice;

class CDeviceBackend {
public:
    virtual ~CDeviceBackend() = default;
    virtual IPort& Port() = 0;
    virtual IClock& Clock() = 0;
    // Another connection of the same kind was chosen while the tool runs (the built-in
    // device takes its address and baud rate, as at start-up).
    virtual void Follow(const ConnectionSettings& /*connection*/) {}

    static std::unique_ptr<CDeviceBackend> Create(const ConnectionSettings& connection);
    // A line of a plant: a serial port, a TCP gateway, or one simulated device at each of the
    // endpoint's simulated addresses (address 1 when it names none), sharing one line.
    static std::unique_ptr<CDeviceBackend> Create(const LineEndpoint& endpoint);
};

}  // namespace mp
