// libFuzzer entry: one input is a stream of bytes off the line. The first bytes choose the
// slave address, function code and quantity; the rest goes to LocateResponse, to a read
// sequence and a register read (the quantity also standing for the port's waiting count), to
// every live read and settings read with their decoders, and to the simulated device.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "modbus/LocateResponse.h"
#include "modbus/ModbusTransaction.h"
#include "monitoring/LiveReads.h"
#include "settings/SettingsRead.h"
#include "simulator/SimulatedDevice.h"
#include "simulator/VirtualClock.h"
#include "support/ImmediateWindow.h"
#include "support/ScriptedPort.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) {
        return 0;
    }
    const uint8_t address = data[0];
    const uint8_t function = data[1];
    const auto quantity = static_cast<uint16_t>(data[2] << 8 | data[3]);
    const std::vector<uint8_t> stream(data + 4, data + size);

    const auto n = static_cast<int16_t>(std::min<size_t>(stream.size(), 32767));
    mp::LocateResponse(stream.data(), n, function, address, static_cast<int16_t>(quantity % 64));

    mp::test::CScriptedPort port;
    mp::CVirtualClock clock;
    mp::CModbusTransaction link(port, clock);
    link.SetSlaveAddress(address);
    port.Bytes = stream;
    port.Count = static_cast<int16_t>(quantity);
    link.ReadSequence(function, 0, quantity, 300);
    link.ReadHoldingRegisters(0x0100, quantity);

    // The reads the tool polls with, each over the same bytes, decoding what they locate.
    port.Count = n;
    mp::test::CImmediateWindow window;
    mp::CDeviceContext ctx(link, window, window);
    mp::ProtectionSettings settings;
    settings.CtRatio = std::to_string(quantity);
    mp::LiveValues live;
    mp::ReadPhaseCurrents(ctx, &settings, &live);
    mp::ReadPhaseVoltages(ctx, &live);
    mp::ReadDigitalInputs(ctx, &live);
    mp::ReadOutputStates(ctx, &live);
    mp::ReadStatusLamps(ctx, &live);
    mp::ReadSettingsBlockA(ctx, &settings);
    mp::ReadSettingsBlockB(ctx, &settings);
    mp::ReadSettingsBlockC(ctx, &settings);

    mp::CSimulatedDevice device;
    device.Feed(stream);
    device.Handle(stream);
    return 0;
}
