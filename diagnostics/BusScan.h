#pragma once
// Finding devices on the bus: one short read of registers 0x0150 and 0x0151 (the device's
// stored address and baud code) per address, at one or several baud rates and parities, with
// a wait just long enough for the reply to cross the line. Runs on the I/O worker as one
// operation and looks at a stop flag between addresses. Plain C++.

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "device/RegisterMap.h"
#include "modbus/ModbusTransaction.h"
#include "modbus/Port.h"

namespace mp {

struct ScanPlan {
    int FirstAddress = 1;
    int LastAddress = 247;
    std::vector<int> BaudRates{9600};
    std::vector<int> Parities{kParityNone};
    // Added to the wire time of request and reply: the device's turnaround and the line.
    uint32_t MarginMs = 50;
    // The line the port is on before the scan; it is put back afterwards.
    PortSettings Line;
};

struct FoundDevice {
    int Address = 0;
    int BaudRate = 0;
    int Parity = kParityNone;
    int StoredAddress = 0;   // kDeviceAddressRegister
    int StoredBaudCode = 0;  // kDeviceBaudRegister
};

enum class ScanEnd { Completed, Stopped, PortFailed };

class CBusScan {
public:
    static const std::vector<int>& AllBaudRates();  // the device's rates (device/LineCodes.h)
    static const std::vector<int>& AllParities();   // none, odd, even

    // The wait for one address: request (8 bytes) and reply (9 bytes) on the wire at this
    // rate and parity (11 bits a character with parity, 10 without), plus the margin.
    static uint32_t WaitMs(int baudRate, int parity, uint32_t marginMs);
    // The time the whole plan takes when nothing answers late.
    static uint64_t PlanMs(const ScanPlan& plan);
    static int Steps(const ScanPlan& plan);

    using FoundFn = std::function<void(const FoundDevice&)>;
    // Called after each address with the steps done and the total.
    using ProgressFn = std::function<void(int done, int total)>;

    // Runs the plan on the link, then puts the line and the slave address back.
    static ScanEnd Run(CModbusTransaction& link, const ScanPlan& plan,
                       const std::atomic<bool>& stop, const FoundFn& found,
                       const ProgressFn& progress);
};

}  // namespace mp
