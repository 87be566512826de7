#pragma once
// Serves a simulated device on a pseudo-terminal, so the tool can talk to it through the real
// serial stack. Requests are found in the byte stream by their expected length and CRC; each
// reply goes out byte by byte at the pace of the line's baud rate, after the request's own
// wire time and the device's turnaround (a queuing device: one reply after another, each
// request taken up once the reply before it has left). A device set to another baud rate than the
// tool's port hears only garbage and keeps quiet. A pseudo-terminal carries no parity on Linux, so
// the tool should open it without parity. POSIX only.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "modbus/Port.h"
#include "simulator/SimulatedDevice.h"

namespace mp {

class CPtyServer {
public:
    // Observer of the line: every batch of bytes heard from the tool (incoming) and every
    // reply the device queued (outgoing).
    using TraceFn = std::function<void(bool incoming, const std::vector<uint8_t>& bytes)>;

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
    void SetFaults(const SimFaults& faults) { Faults_ = faults; }
    void SetTrace(TraceFn trace) { Trace_ = std::move(trace); }
    // Another device on the same line, answering its own address at its own baud rate. It
    // must outlive the server.
    void AddDevice(CSimulatedDevice& device) { Others_.push_back(&device); }

    // Serves until `stop` becomes true (checked at least every 50 ms).
    void Run(const std::atomic<bool>& stop);
    // One round: takes in what the tool sent and writes the reply bytes that are due,
    // waiting up to `timeoutMs` for something to do.
    void Serve(int timeoutMs);

    // The tool's line settings as the pseudo-terminal holds them (baud 0 when unknown).
    int LineBaudRate() const;
    int LineParity() const;

private:
    using Time = std::chrono::steady_clock::time_point;
    struct OutByte {
        Time Due;
        uint8_t Byte;
    };

    std::chrono::microseconds WireTime(size_t bytes, int baud, int parity) const;
    void TakeInput();
    void Queue(std::vector<uint8_t> reply, Time start, int baud, int parity);
    void WriteDue();

    CSimulatedDevice& Device_;
    std::vector<CSimulatedDevice*> Others_;
    int Master_ = -1;
    int Slave_ = -1;  // held open so the line stays up while the tool has it closed
    std::string DevicePath_;
    std::string LastError_;
    SimFaults Faults_;
    TraceFn Trace_;
    std::deque<OutByte> Out_;
    // A queuing device: when the requests waiting are taken up, in order, and the end of the
    // last reply it scheduled.
    std::deque<Time> QueueStarts_;
    Time BusyUntil_{};
    bool Busy_ = false;
};

}  // namespace mp
