#pragma once
// What the setup dialog hands to the main window.

#include <QString>
#include <cstdint>

#include "modbus/Port.h"

namespace mp {

// The port entry that connects the tool to its built-in simulated device.
inline const QString kSimulatedPortText = QStringLiteral("内置模拟设备");

struct ConnectionSettings {
    QString PortText =
        QStringLiteral("COM1");    // as chosen: "COM3", "/dev/ttyUSB0", kSimulatedPortText
    int PortNumber = 1;            // 1 to 32 for "COM1" .. "COM32", else 0
    int BaudRate = 9600;           // one of kBaudRates (device/LineCodes.h)
    int ParityCode = kParityNone;  // modbus/Port.h
    uint8_t SlaveAddress = 1;      // 1 to 247

    bool Simulated() const { return PortText == kSimulatedPortText; }
    // The port settings of this connection: the port as chosen, its rate and parity.
    PortSettings Line() const { return {PortText.toStdString(), BaudRate, ParityCode}; }
};

}  // namespace mp
