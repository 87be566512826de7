#pragma once
// The serial side of a simulated line, shared by the pseudo-terminal server and the TCP
// gateway: the devices on it, the faults of the line and of single devices, and the reply
// bytes on their way, each due once it has crossed the line at its baud rate. Requests are
// found in the bytes by their expected length and CRC; each reply starts after the request's
// own wire time and the device's turnaround (a queuing device: one reply after another, each
// request taken up once the reply before it has left). A device set to another baud rate than
// the line's hears only garbage and keeps quiet. Not thread-safe: one server drives it.

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <utility>
#include <vector>

#include "simulator/SimulatedDevice.h"

namespace mp {

// Live values of the device's own, told apart by its address: phase currents 20 and voltages
// 10 register units apart from one address to the next, well beyond the motion's +-3, so that
// a value read at one address can never be taken for another device's.
void SetOwnLiveValues(CSimulatedDevice& device, uint8_t address);

class CSimulatedBus {
public:
    using Time = std::chrono::steady_clock::time_point;
    // Observer of the line: every batch of bytes heard (incoming) and every reply queued.
    using TraceFn = std::function<void(bool incoming, const std::vector<uint8_t>& bytes)>;

    // The device must outlive the bus.
    void AddDevice(CSimulatedDevice& device) { Devices_.push_back(&device); }
    const std::vector<CSimulatedDevice*>& Devices() const { return Devices_; }
    // Faults of the whole line: a queuing device or gateway (QueueDelayMs) and, for every device
    // without faults of its own, the faults of its replies.
    void SetFaults(const SimFaults& faults) { Faults_ = faults; }
    const SimFaults& Faults() const { return Faults_; }
    // Faults of one device's replies (silence, delay, stray bytes, a bad CRC, pieces) in place of
    // the line's; the line's queue stays.
    void SetDeviceFaults(const CSimulatedDevice& device, const SimFaults& faults);
    void SetTrace(TraceFn trace) { Trace_ = std::move(trace); }

    // Bytes heard at `now` (their first byte) on a line at `baud` and `parity`.
    void Take(const std::vector<uint8_t>& bytes, Time now, int baud, int parity);
    // The reply bytes due by `now`, in order; they stay until Drop.
    std::vector<uint8_t> Due(Time now) const;
    void Drop(size_t bytes);
    // When the next reply byte is due; nothing when no reply is on its way.
    bool Pending() const { return !Out_.empty(); }
    Time NextDue() const { return Out_.front().Due; }
    // Forgets the replies on their way and the queue (the line was closed).
    void Clear();

    static std::chrono::microseconds WireTime(size_t bytes, int baud, int parity);

private:
    struct OutByte {
        Time Due;
        uint8_t Byte;
    };
    const SimFaults& FaultsOf(const CSimulatedDevice* device) const;
    void Queue(std::vector<uint8_t> reply, const SimFaults& faults, Time start, int baud,
               int parity);

    std::vector<CSimulatedDevice*> Devices_;
    SimFaults Faults_;
    std::vector<std::pair<const CSimulatedDevice*, SimFaults>> DeviceFaults_;
    TraceFn Trace_;
    std::deque<OutByte> Out_;
    // A queuing device: when the requests waiting are taken up, in order, and the end of the
    // last reply it scheduled.
    std::deque<Time> QueueStarts_;
    Time BusyUntil_{};
    bool Busy_ = false;
};

}  // namespace mp
