#pragma once
// What the setup dialog hands to the main window.

#include <QString>
#include <cstdint>

namespace mp {

// The port entry that connects the tool to its built-in simulated device.
inline const QString kSimulatedPortText = QStringLiteral("内置模拟设备");

struct ConnectionSettings {
    QString PortText = QStringLiteral("COM1");  // as chosen: "COM3", "/dev/ttyUSB0", kSimulatedPortText
    int PortNumber = 1;                          // 1 to 32 for "COM1" .. "COM32", else 0
    int BaudRate = 9600;                         // 1200, 2400, 4800, 9600, 19200
    int ParityCode = 0;                          // 0 none, 1 odd, 2 even
    uint8_t SlaveAddress = 1;                    // 1 to 247

    bool Simulated() const { return PortText == kSimulatedPortText; }
};

}  // namespace mp
