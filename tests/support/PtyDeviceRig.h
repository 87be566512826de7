#pragma once
// The simulated device served on a pseudo-terminal from its own thread for as long as the rig
// lives, and the tool's side on the real serial port: the end-to-end rig of the serial and
// simulator tests. POSIX only; real time.

#include <atomic>
#include <thread>

#include "modbus/ModbusTransaction.h"
#include "modbus/ReceivingClock.h"
#include "serial/SerialPort.h"
#include "simulator/PtyServer.h"

namespace mp::test {

struct CPtyDeviceRig {
    // `others` share the line with the rig's own device (address 1).
    explicit CPtyDeviceRig(const SimFaults& faults = {}, int baudCode = 3,
                           const std::vector<CSimulatedDevice*>& others = {})
        : Server(Device) {
        for (CSimulatedDevice* other : others) {
            Server.AddDevice(*other);
        }
        Device.SetLiveMotion(false);
        Device.SetBaudCode(baudCode);
        Device.SetRegister(0x0106, 1234);  // phase currents 1234, 0, 65535
        Device.SetRegister(0x0107, 0);
        Device.SetRegister(0x0108, 65535);
        Device.SetRegister(0x0103, 2200);  // phase voltage A
        Server.SetFaults(faults);
        Ready = Server.Open();
        if (Ready) {
            Thread = std::thread([this] { Server.Run(Stop); });
        }
    }
    ~CPtyDeviceRig() {
        Port.ClosePort();
        Unplug();
    }
    CPtyDeviceRig(const CPtyDeviceRig&) = delete;
    CPtyDeviceRig& operator=(const CPtyDeviceRig&) = delete;

    bool Connect(int baud = 9600) {
        return Port.OpenPort({Server.DevicePath(), baud, kParityNone});
    }
    // Stops serving and closes the pseudo-terminal, as an unplugged adapter would.
    void Unplug() {
        Stop = true;
        if (Thread.joinable()) {
            Thread.join();
        }
        Server.Close();
    }

    CSimulatedDevice Device;
    CPtyServer Server;
    std::atomic<bool> Stop{false};
    std::thread Thread;
    bool Ready = false;
    CSerialPort Port;
    CReceivingClock Clock{Port};
    CModbusTransaction Link{Port, Clock};
};

}  // namespace mp::test
