#pragma once
// An in-process serial line to a simulated device. Requests written to it reach the device
// at once; its replies arrive in the input after the wire time of request and reply at the
// configured baud rate, plus the fault plan's delay, in one or more pieces; or, with a queuing
// device, one after another as the busy device gets round to them. Its adapter can
// be pulled out and put back. What it keeps is bounded: the newest frames sent, and an input
// buffer of a driver's size.

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "modbus/Clock.h"
#include "modbus/Port.h"
#include "simulator/SimulatedDevice.h"

namespace mp {

class CSimulatedPort : public IPort {
public:
    struct SentFrame {
        uint64_t Time;  // clock time of the write
        std::vector<uint8_t> Bytes;
    };

    CSimulatedPort(CSimulatedDevice& device, IClock& clock);

    bool OpenPort(const PortSettings& settings) override;
    void ClosePort() override;
    bool IsPortOpen() const override;
    bool Reconfigure(const PortSettings& settings) override;
    std::string LastError() const override;
    void DiscardInput() override;
    void WriteBytes(const std::vector<uint8_t>& bytes) override;
    int16_t WaitingCount() override;
    std::vector<uint8_t> ReadAllWaiting() override;
    void SetLostHandler(LostFn lost) override;
    // Sleeps until the next piece of a reply is due (or `ms` is over): the line's clock
    // knows when the bytes come.
    bool WaitForInput(IClock& clock, uint32_t ms) override;

    // Bytes the input holds at most; older ones are dropped, as a driver's buffer overruns.
    static constexpr size_t kInputCapacity = 4096;

    // Test knobs.
    void SetFaults(const SimFaults& faults);
    SimFaults Faults() const;
    void SetOpenFailure(const std::string& reason);  // next opens fail with this reason
    // The device answers `requests` more requests, then falls silent (Faults().Silent).
    void SilenceAfter(int requests);
    // Another device on the same bus: it hears every request and answers its own address at
    // its baud rate and parity. It must outlive the port.
    void AddDevice(CSimulatedDevice& device);
    // Puts bytes straight into the input, as noise on the line would.
    void InjectInput(const std::vector<uint8_t>& bytes);
    // The adapter pulled out (true) or put back (false). Once out, the next use of the open
    // port closes it and reports it lost; opening fails until it is back.
    void SetUnplugged(bool unplugged);

    PortSettings Settings() const;
    // The newest frames sent, at most SentCapacity() of them.
    std::vector<SentFrame> Sent() const;
    void ClearSent();
    size_t SentCapacity() const;
    void SetSentCapacity(size_t frames);
    int OpenCount() const;
    int OpenAttempts() const;  // also those that failed
    int CloseCount() const;

private:
    struct Piece {
        uint32_t Due;
        std::vector<uint8_t> Bytes;
    };
    uint32_t WireTimeMs(size_t bytes) const;
    void Deliver();
    void KeepInputBounded();
    // A queuing device (Faults_.QueueDelayMs): whether it takes a request that has fully
    // arrived at `arrival`, and when the reply to a request taken then starts.
    bool QueueHasRoom(uint32_t arrival);
    uint32_t QueuedReplyStart(uint32_t arrival);
    void ForgetQueue();
    // Closes the open port when its adapter is out and reports the loss; true when it did.
    bool NoticeLoss();

    // Whether `device` hears the line as it is set now.
    bool Hears(const CSimulatedDevice& device) const;
    std::vector<CSimulatedDevice*> Devices() const;

    CSimulatedDevice& Device_;
    std::vector<CSimulatedDevice*> Others_;
    IClock& Clock_;
    mutable std::mutex Mutex_;
    bool Open_ = false;
    PortSettings Settings_;
    std::string LastError_;
    std::string OpenFailure_;
    SimFaults Faults_;
    std::deque<Piece> InFlight_;
    std::deque<uint32_t> QueueStarts_;  // when the queued requests are taken up, in order
    uint32_t BusyUntil_ = 0;            // end of the last reply a queuing device scheduled
    bool Busy_ = false;                 // BusyUntil_ holds a time
    std::vector<uint8_t> Input_;
    std::deque<SentFrame> Sent_;
    size_t SentCapacity_ = 4096;
    bool Unplugged_ = false;
    LostFn Lost_;
    uint64_t TimeBase_ = 0;
    uint32_t LastTick_ = 0;
    int AnswersLeft_ = -1;  // requests still answered before silence; -1: no limit
    int OpenCount_ = 0;
    int OpenAttempts_ = 0;
    int CloseCount_ = 0;
};

}  // namespace mp
