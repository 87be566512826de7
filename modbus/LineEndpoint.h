#pragma once
// Where a line reaches its devices: a serial port, an Ethernet gateway over TCP (the RTU
// frame with its CRC in the stream, or Modbus TCP with the MBAP header), or the built-in
// simulated devices.

#include <cstdint>
#include <string>
#include <vector>

#include "modbus/Port.h"

namespace mp {

struct LineEndpoint {
    enum class Kind { Serial, Tcp, Simulated };
    enum class Framing { Rtu, Mbap };

    Kind Type = Kind::Serial;
    // Serial: the port, rate and parity. Every kind keeps a rate here: it sets the 3.5
    // character silence (a gateway's serial side runs at it).
    PortSettings Serial;
    // TCP.
    std::string Host;
    uint16_t TcpPort = 502;
    Framing TcpFraming = Framing::Rtu;
    int ConnectTimeoutMs = 3000;
    // Simulated: the addresses the built-in devices answer at.
    std::vector<uint8_t> SimulatedAddresses;
};

}  // namespace mp
