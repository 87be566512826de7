#pragma once
// Test rig for device operations: the simulated device on a virtual clock, and expected
// request frames built from their bytes with a bitwise CRC of its own.

#include <cstdint>
#include <vector>

#include "modbus/DeviceContext.h"
#include "modbus/ModbusTransaction.h"
#include "simulator/SimulatedDevice.h"
#include "simulator/SimulatedPort.h"
#include "simulator/VirtualClock.h"
#include "support/ImmediateWindow.h"

namespace mp::test {

// CRC-16/MODBUS bit by bit (reflected 0xA001, initial 0xFFFF), low byte first on the wire.
inline std::vector<uint8_t> WithCrc(std::vector<uint8_t> frame) {
    uint16_t crc = 0xFFFF;
    for (uint8_t byte : frame) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<uint16_t>(crc >> 1);
        }
    }
    frame.push_back(static_cast<uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    return frame;
}

// A function 0x10 request as the device expects it.
inline std::vector<uint8_t> WriteFrame(uint8_t address, uint16_t start,
                                       const std::vector<uint8_t>& data) {
    std::vector<uint8_t> frame{address,
                               0x10,
                               static_cast<uint8_t>(start >> 8),
                               static_cast<uint8_t>(start & 0xFF),
                               0x00,
                               static_cast<uint8_t>(data.size() / 2),
                               static_cast<uint8_t>(data.size())};
    frame.insert(frame.end(), data.begin(), data.end());
    return WithCrc(frame);
}

inline std::vector<uint8_t> ReadFrame(uint8_t address, uint16_t start, uint16_t count) {
    return WithCrc({address, 0x03, static_cast<uint8_t>(start >> 8),
                    static_cast<uint8_t>(start & 0xFF), static_cast<uint8_t>(count >> 8),
                    static_cast<uint8_t>(count & 0xFF)});
}

// The sleeps of a read's wait for a reply still owed by an earlier read of its shape, when
// nothing comes: `ms` in the transaction's slices.
inline std::vector<uint32_t> OwedWait(uint32_t ms) {
    std::vector<uint32_t> slices(ms / CModbusTransaction::kOwedSliceMs,
                                 CModbusTransaction::kOwedSliceMs);
    if (ms % CModbusTransaction::kOwedSliceMs != 0) {
        slices.push_back(ms % CModbusTransaction::kOwedSliceMs);
    }
    return slices;
}

inline std::vector<uint32_t> JoinSleeps(std::initializer_list<std::vector<uint32_t>> parts) {
    std::vector<uint32_t> all;
    for (const std::vector<uint32_t>& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// A fault plan for the simulated line: stray bytes ahead of each reply, silence, a spoilt
// CRC, a reply delay, and replies split into pieces with gaps between them.
inline SimFaults Faults(std::vector<uint8_t> stray, bool silent = false, bool corrupt = false,
                        uint32_t delayMs = 0, int pieces = 1, uint32_t gapMs = 0) {
    SimFaults faults;
    faults.StrayBytes = std::move(stray);
    faults.Silent = silent;
    faults.CorruptCrc = corrupt;
    faults.ReplyDelayMs = delayMs;
    faults.SplitPieces = pieces;
    faults.PieceGapMs = gapMs;
    return faults;
}

struct CDeviceRig {
    explicit CDeviceRig(uint8_t address = 1)
        : Port(Device, Clock), Link(Port, Clock), Ctx(Link, Window, Window) {
        Device.SetAddress(address);
        Device.SetLiveMotion(false);
        Port.OpenPort(PortSettings{"sim", 9600, kParityNone});
        Link.SetSlaveAddress(address);
    }

    // The device stops answering: at once, or once it has answered `answered` more requests.
    void Silence(int answered = 0) {
        Link.SetTrace([this, answered](bool outgoing, const std::vector<uint8_t>&) mutable {
            if (outgoing && answered-- == 0) {
                SimFaults faults;
                faults.Silent = true;
                Port.SetFaults(faults);
            }
        });
    }

    std::vector<std::vector<uint8_t>> SentFrames() const {
        std::vector<std::vector<uint8_t>> frames;
        for (const auto& sent : Port.Sent()) {
            frames.push_back(sent.Bytes);
        }
        return frames;
    }

    CVirtualClock Clock;
    CSimulatedDevice Device;
    CSimulatedPort Port;
    CModbusTransaction Link;
    CImmediateWindow Window;
    CDeviceContext Ctx;
};

}  // namespace mp::test
