#pragma once
// Serves a simulated device on a pseudo-terminal, so the tool can talk to it through the real
// serial stack. The line's timing and faults are the simulated bus's (simulator/SimulatedBus.h):
// each reply goes out byte by byte at the pace of the line's baud rate. A pseudo-terminal
// carries no parity on Linux, so the tool should open it without parity. POSIX only.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "modbus/Port.h"
#include "simulator/SimulatedBus.h"
#include "simulator/SimulatedDevice.h"

namespace mp {

class CPtyServer {
public:
    // Observer of the line: every batch of bytes heard from the tool (incoming) and every
    // reply the device queued (outgoing).
    using TraceFn = CSimulatedBus::TraceFn;

    explicit CPtyServer(CSimulatedDevice& device);
    ~CPtyServer();
    CPtyServer(const CPtyServer&) = delete;
    CPtyServer& operator=(const CPtyServer&) = delete;

    // Creates the pseudo-terminal pair. False on failure, with the reason in LastError().
    bool Open();
    void Close();
    // The device path the tool opens, e.g. /dev/pts/3.
    const std::string& DevicePath() const { return DevicePath_; }
    const std::string& LastError() const { return LastError_; }

    // Faults applied to every reply: silence, extra delay, a queue of requests served one at a
    // time, stray bytes, a bad CRC, pauses between pieces.
    void SetFaults(const SimFaults& faults) { Bus_.SetFaults(faults); }
    // Faults of one device's replies in place of those above (the queue stays the line's).
    void SetDeviceFaults(const CSimulatedDevice& device, const SimFaults& faults) {
        Bus_.SetDeviceFaults(device, faults);
    }
    void SetTrace(TraceFn trace) { Bus_.SetTrace(std::move(trace)); }
    // Another device on the same line, answering its own address at its own baud rate. It
    // must outlive the server.
    void AddDevice(CSimulatedDevice& device) { Bus_.AddDevice(device); }

    // Serves until `stop` becomes true (checked at least every 50 ms).
    void Run(const std::atomic<bool>& stop);
    // One round: takes in what the tool sent and writes the reply bytes that are due,
    // waiting up to `timeoutMs` for something to do.
    void Serve(int timeoutMs);

    // The tool's line settings as the pseudo-terminal holds them (baud 0 when unknown).
    int LineBaudRate() const;
    int LineParity() const;

private:
    void TakeInput();
    void WriteDue();

    CSimulatedDevice& Device_;
    CSimulatedBus Bus_;
    int Master_ = -1;
    int Slave_ = -1;  // held open so the line stays up while the tool has it closed
    std::string DevicePath_;
    std::string LastError_;
};

}  // namespace mp
