// libFuzzer entry: one input is a stream of bytes off the line. The first bytes choose the
// slave address, function code and quantity; the rest goes to LocateResponse, to a read
// sequence and a register read, and to the simulated device.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "modbus/LocateResponse.h"
#include "modbus/ModbusTransaction.h"
#include "simulator/SimulatedDevice.h"
#include "simulator/VirtualClock.h"

namespace {

// Hands the input over as the bytes waiting after the wait.
class CFuzzPort : public mp::IPort {
public:
    bool OpenPort(const mp::PortSettings&) override { return true; }
    void ClosePort() override {}
    bool IsPortOpen() const override { return true; }
    bool Reconfigure(const mp::PortSettings&) override { return true; }
    std::string LastError() const override { return {}; }
    void DiscardInput() override {}
    void WriteBytes(const std::vector<uint8_t>&) override {}
    int16_t WaitingCount() override { return Count; }
    std::vector<uint8_t> ReadAllWaiting() override { return Bytes; }

    int16_t Count = 0;
    std::vector<uint8_t> Bytes;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) {
        return 0;
    }
    const uint8_t address = data[0];
    const uint8_t function = data[1];
    const uint16_t quantity = static_cast<uint16_t>(data[2] << 8 | data[3]);
    const std::vector<uint8_t> stream(data + 4, data + size);

    const int16_t n = static_cast<int16_t>(std::min<size_t>(stream.size(), 32767));
    const int16_t length = static_cast<int16_t>(quantity % 64);
    mp::LocateResponse(stream.data(), n, function, address, length);

    CFuzzPort port;
    mp::CVirtualClock clock;
    mp::CModbusTransaction link(port, clock);
    link.SetSlaveAddress(address);
    port.Bytes = stream;
    port.Count = static_cast<int16_t>(quantity);
    link.ReadSequence(function, 0, quantity, 300);
    link.ReadHoldingRegisters(0x0100, quantity);

    mp::CSimulatedDevice device;
    device.Feed(stream);
    device.Handle(stream);
    return 0;
}
