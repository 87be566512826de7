#pragma once
// One synchronous request/response exchange with the device: discard waiting input, send the
// request built in TxBuffer, wait a fixed time, copy what arrived into RxBuffer and locate the
// response by address, function code, length and CRC. No retries, no other timeout.
//
// A reply that misses its wait is late, and a late reply counts as no reply. It may still come
// off the line later: a busy device, or a gateway, works off its requests in order and
// answers each of them late. Sent another request meanwhile, such a device queues it, and its
// replies come later and later until one of them is taken for the reply of a newer read of
// the same shape (currents and voltages, say). So nothing is sent to a device while a reply
// may still come from it: a read that found no reply leaves it owed for kLateReplyMs after
// its request, and the next frame to that device (read, write or private) first waits,
// taking the input in slices, until the owed reply has come and been dropped, then keeps the
// 3.5-character silence after it, or until its time is over. A whole frame of the device
// that answers another request, found among a read's bytes, is evidence of such a backlog:
// the read is not trusted and its own reply is owed. An exception or a frame of the
// request's shape with a bad CRC is an answer: nothing is owed. A device that answers in time
// never leaves anything owed, so its exchanges keep their fixed waits.

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "modbus/Clock.h"
#include "modbus/FrameBuffers.h"
#include "modbus/LinkObserver.h"
#include "modbus/Port.h"
#include "modbus/ReplyCheck.h"

namespace mp {

class CModbusTransaction {
public:
    // How long after its request a missed reply is still waited for before the next frame
    // to the same device: longer than the slowest late reply taken into account (2500 ms)
    // plus the wire time of request and longest reply at 1200 baud.
    static constexpr uint32_t kLateReplyMs = 3000;
    // While a reply is owed the input is looked at every kOwedSliceMs.
    static constexpr uint32_t kOwedSliceMs = 50;

    // Observer of the raw frames: every frame sent, and every batch of bytes taken in.
    using TraceFn = std::function<void(bool outgoing, const std::vector<uint8_t>& bytes)>;

    CModbusTransaction(IPort& port, IClock& clock);

    IPort& Port() { return Port_; }
    IClock& Clock() { return Clock_; }
    void Sleep(uint32_t ms) { Clock_.Sleep(ms); }

    uint8_t SlaveAddress() const { return SlaveAddress_; }
    void SetSlaveAddress(uint8_t address) { SlaveAddress_ = address; }

    TxBuffer& Tx() { return Tx_; }
    const RxBuffer& Rx() const { return Rx_; }
    // Number of bytes the last read copied into RxBuffer.
    int16_t ReceivedCount() const { return Received_; }

    void SetTrace(TraceFn trace) { Trace_ = std::move(trace); }
    // The observer of the exchanges (none: nullptr). May be set from another thread while
    // exchanges run; the observer must outlive its registration.
    void SetObserver(ILinkObserver* observer) {
        Observer_.store(observer, std::memory_order_release);
    }

    // Fast reply end (off by default). On: a read ends its wait as soon as its whole response
    // is located (length from the request, CRC checked), at the read's own wait at the latest,
    // so a read without a complete reply still waits its full time; and every frame sent keeps
    // the Modbus RTU silence of 3.5 characters (11 bits each, at `baudRate`) after the last
    // reply that ended a wait early. May be switched from another thread.
    void SetFastReplyEnd(bool on, int baudRate);
    bool FastReplyEnd() const { return FastReplyEnd_.load(); }
    // The line's rate, which sets the silence kept after a reply that ended a wait early or
    // was waited out late (9600 until told). May be set from another thread.
    void SetLineRate(int baudRate) {
        SilenceMs_.store(SilenceMs(baudRate));
        LineRate_.store(baudRate);
    }

    // Opens the port (closing it first when open) or sets an open port anew, and takes the
    // line's rate for the silence. A reply owed at another setting can no longer come in as a
    // frame: nothing is owed afterwards.
    bool OpenLine(const PortSettings& settings);
    bool ReconfigureLine(const PortSettings& settings);
    // The silence kept before a request in fast reply end, rounded up with 1 ms to spare for
    // the clock's resolution.
    static uint32_t SilenceMs(int baudRate);

    // Sends the first `length` bytes of TxBuffer; nothing when the port is not open.
    void SendFrame(int16_t length);

    // The read sequence: builds the 8-byte request for function 0x01, 0x02 or 0x03, waits for
    // a reply still owed by the device, discards waiting input, sends, sleeps `waitMs`, takes
    // the input and judges it (5 + 2q bytes for 0x03, 6 bytes for 0x01/0x02). Returns the
    // reply's position in RxBuffer or -1; LastVerdict() says why. Without a reply, or with
    // a frame answering another request among the bytes, the reply is owed.
    int16_t ReadSequence(uint8_t function, uint16_t start, uint16_t quantity, uint32_t waitMs);

    // How the last read went (NoReply also when nothing could be sent).
    ReplyVerdict LastVerdict() const { return LastVerdict_; }
    uint8_t LastExceptionCode() const { return LastExceptionCode_; }

    // The transport matches every reply to its request (Modbus TCP's transaction id) and
    // drops a late one: it can never be taken for a later read's reply, so a read without a
    // reply leaves nothing owed and the next frame to the device need not wait for it.
    void SetRepliesMatched(bool matched) { RepliesMatched_ = matched; }

    // Replies still owed by reads that found none (at most one per device).
    size_t OwedReplies() const { return Owed_.size(); }
    // Forgets the owed replies: after the line's rate or parity changed, a reply sent at the
    // old setting can no longer come in as a frame.
    void ForgetOwedReplies() { Owed_.clear(); }

    // Data byte d of the response located at p (0 for a position outside RxBuffer).
    uint8_t DataByte(int16_t p, int d) const;
    // Register k (high byte first) of the response located at p.
    uint16_t Register(int16_t p, int k) const {
        return static_cast<uint16_t>(DataByte(p, 2 * k) << 8 | DataByte(p, 2 * k + 1));
    }

    // The write sequence for a request already built in TxBuffer: waits for a reply still
    // owed by the device, discards waiting input, sends, then sleeps `waitMs` (0: no wait).
    // The reply is never read.
    void WriteSequence(int16_t length, uint32_t waitMs);

    // A private 0x12 frame already built in TxBuffer: sent as it is once no reply is owed by
    // the device, without discarding input before it and without waiting or reading after it.
    void SendPrivate(int16_t length);

    // Function 0x03 read of `count` registers from `start` with a 300 ms wait. A located
    // response is moved to RxBuffer position 0, so register k is at positions 3 + 2k, 4 + 2k;
    // when none is located the expected frame's positions (and every copied byte) read as 0.
    // Returns whether a response was located.
    bool ReadHoldingRegisters(uint16_t start, uint16_t count);

    // Length of the response to a read of `quantity` with `function` (0x01, 0x02 or 0x03),
    // CRC included.
    static int ExpectedLength(uint8_t function, uint16_t quantity);

private:
    // A reply a read did not find in its wait, of `Length` bytes with `Function` from
    // `Address`, waited for until `Due` (tick count).
    struct OwedReply {
        uint8_t Address;
        uint8_t Function;
        int16_t Length;
        uint32_t Due;
        std::vector<uint8_t> Head;  // the read's last bytes: a reply cut off by its wait
    };
    static constexpr size_t kMaxOwed = 16;

    // Copies the waiting input into RxBuffer from position 0, at most its capacity.
    void TakeInput();
    // Puts the first n of `bytes` into RxBuffer from position 0 and tells the trace and the
    // observer.
    void Took(const uint8_t* bytes, size_t n);
    // Drops the waiting input, telling the observer how much there was.
    void DiscardInput();
    void Send(int16_t length, int replyLength);
    // Waits until the device at `address` owes no reply any more: it has arrived (and is
    // dropped, and the silence after it kept by the next send) or its time is over.
    void AwaitOwedReply(uint8_t address);
    void Owe(uint8_t function, int16_t length, uint32_t sentAt);
    void DropOverdue(uint32_t now);
    // Fast reply end's wait: takes the input in as it comes until the expected response is
    // located or `waitMs` has passed, then copies what came into RxBuffer like TakeInput.
    void TakeReplyAsItComes(uint8_t function, int expected, uint32_t waitMs);
    // Fast reply end: waits out what is left of the silence after the last early reply.
    void KeepSilence();

    IPort& Port_;
    IClock& Clock_;
    uint8_t SlaveAddress_ = 1;
    TxBuffer Tx_{};
    RxBuffer Rx_{};
    int16_t Received_ = 0;
    TraceFn Trace_;
    std::atomic<ILinkObserver*> Observer_{nullptr};
    std::vector<OwedReply> Owed_;
    std::atomic<bool> FastReplyEnd_{false};
    std::atomic<uint32_t> SilenceMs_{SilenceMs(9600)};
    std::atomic<int> LineRate_{9600};
    ReplyVerdict LastVerdict_ = ReplyVerdict::NoReply;
    uint8_t LastExceptionCode_ = 0;
    bool ReplyEndedEarly_ = false;
    bool RepliesMatched_ = false;
    uint32_t ReplyEndTick_ = 0;
};

}  // namespace mp
