#include "modbus/ModbusTransaction.h"

#include <algorithm>

#include "modbus/LocateResponse.h"
#include "modbus/RequestBuilder.h"

namespace mp {
namespace {

// Address, function, start, quantity, CRC.
constexpr int kReadRequestLength = 8;

}  // namespace

CModbusTransaction::CModbusTransaction(IPort& port, IClock& clock) : Port_(port), Clock_(clock) {}

void CModbusTransaction::SendFrame(int16_t length) {
    Send(length, 0);
}

void CModbusTransaction::Send(int16_t length, int replyLength) {
    if (!Port_.IsPortOpen()) {
        return;
    }
    const auto count = static_cast<size_t>(std::clamp<int>(length, 0, kTxCapacity));
    std::vector<uint8_t> frame(Tx_.begin(), Tx_.begin() + static_cast<std::ptrdiff_t>(count));
    if (Trace_) {
        Trace_(true, frame);
    }
    KeepSilence();
    if (ILinkObserver* observer = Observer_.load(std::memory_order_acquire)) {
        observer->FrameSent(Clock_.TickCount(), frame.data(), frame.size(), replyLength);
    }
    Port_.WriteBytes(frame);
}

void CModbusTransaction::DiscardInput() {
    ILinkObserver* observer = Observer_.load(std::memory_order_acquire);
    if (observer != nullptr && Port_.IsPortOpen()) {
        const int16_t waiting = Port_.WaitingCount();
        if (waiting > 0) {
            observer->Discarded(Clock_.TickCount(), DiscardKind::Stray,
                                static_cast<size_t>(waiting));
        }
    }
    Port_.DiscardInput();
}

void CModbusTransaction::TakeInput() {
    const int16_t waiting = Port_.WaitingCount();
    const std::vector<uint8_t> bytes = Port_.ReadAllWaiting();
    // Bytes that arrived after the count was taken come out of the port with the array but
    // are not copied; bytes beyond the buffer's capacity are dropped.
    const size_t n = std::min(static_cast<size_t>(std::max<int16_t>(waiting, 0)), bytes.size());
    Took(bytes.data(), n);
}

void CModbusTransaction::Took(const uint8_t* bytes, size_t n) {
    n = std::min(n, static_cast<size_t>(kRxCapacity));
    std::copy(bytes, bytes + n, Rx_.begin());
    Received_ = static_cast<int16_t>(n);
    if (Trace_ && n > 0) {
        Trace_(false, std::vector<uint8_t>(bytes, bytes + n));
    }
    if (ILinkObserver* observer = Observer_.load(std::memory_order_acquire)) {
        observer->BytesTaken(Clock_.TickCount(), Rx_.data(), n);
    }
}

void CModbusTransaction::SetFastReplyEnd(bool on, int baudRate) {
    SetLineRate(baudRate);
    FastReplyEnd_.store(on);
}

bool CModbusTransaction::OpenLine(const PortSettings& settings) {
    Port_.ClosePort();
    Owed_.clear();
    ReplyEndedEarly_ = false;
    SetLineRate(settings.BaudRate);
    return Port_.OpenPort(settings);
}

bool CModbusTransaction::ReconfigureLine(const PortSettings& settings) {
    Owed_.clear();
    ReplyEndedEarly_ = false;
    SetLineRate(settings.BaudRate);
    return Port_.Reconfigure(settings);
}

uint32_t CModbusTransaction::SilenceMs(int baudRate) {
    if (baudRate <= 0) {
        return 0;
    }
    // 3.5 characters of 11 bits (start, 8 data, parity or second stop, stop), rounded up.
    const uint32_t bits = 35 * 11;
    const auto baud = static_cast<uint32_t>(baudRate);
    return (bits * 1000 + 10 * baud - 1) / (10 * baud) + 1;
}

void CModbusTransaction::KeepSilence() {
    if (!ReplyEndedEarly_) {
        return;
    }
    ReplyEndedEarly_ = false;
    const uint32_t silence = SilenceMs_.load();
    const uint32_t since = Clock_.TickCount() - ReplyEndTick_;
    if (since < silence) {
        Clock_.Sleep(silence - since);
    }
}

void CModbusTransaction::TakeReplyAsItComes(uint8_t function, int expected, uint32_t waitMs) {
    const uint32_t t0 = Clock_.TickCount();
    std::vector<uint8_t> taken;
    bool located = false;
    // The whole reply cannot be in before request and reply have crossed the line (10 bits a
    // character at the least): that long is slept at once, then in slices of 1 ms, so that a
    // wait takes a few wake-ups instead of one every millisecond.
    const int rate = LineRate_.load();
    if (rate > 0) {
        const auto wireMs = static_cast<uint32_t>(
            (static_cast<uint64_t>(kReadRequestLength + expected) * 10 * 1000) /
            static_cast<uint64_t>(rate));
        if (wireMs > 1) {
            Clock_.Sleep(std::min(wireMs - 1, waitMs));
        }
    }
    // Each slept slice lasts at least 1 ms: counted too, so that the wait ends even on a clock
    // whose time stands still once its sleeps are over (the program closing).
    uint32_t slices = 0;
    for (;;) {
        const int16_t waiting = Port_.WaitingCount();
        if (waiting > 0) {
            const std::vector<uint8_t> bytes = Port_.ReadAllWaiting();
            taken.insert(taken.end(), bytes.begin(), bytes.end());
            const auto n = static_cast<int16_t>(std::min<size_t>(taken.size(), kRxCapacity));
            located = n >= expected && LocateResponse(taken.data(), n, function, SlaveAddress_,
                                                      static_cast<int16_t>(expected)) >= 0;
        }
        // Unsigned difference: right across the wrap of the tick count.
        if (located || Clock_.TickCount() - t0 >= waitMs || slices >= waitMs) {
            break;
        }
        const uint32_t left = waitMs - std::min(waitMs, Clock_.TickCount() - t0);
        if (!Port_.WaitForInput(Clock_, std::max<uint32_t>(left, 1))) {
            Clock_.Sleep(1);
        }
        ++slices;
    }
    Took(taken.data(), taken.size());
    if (located) {
        ReplyEndedEarly_ = true;
        ReplyEndTick_ = Clock_.TickCount();
    }
}

int CModbusTransaction::ExpectedLength(uint8_t function, uint16_t quantity) {
    return function == kReadHoldingRegisters ? 5 + 2 * static_cast<int>(quantity) : 6;
}

int16_t CModbusTransaction::ReadSequence(uint8_t function, uint16_t start, uint16_t quantity,
                                         uint32_t waitMs) {
    const int16_t length = BuildReadRequest(Tx_, SlaveAddress_, function, start, quantity);
    // A frame longer than the receive buffer can never be located, nor mistaken.
    const int expected = ExpectedLength(function, quantity);
    const bool locatable = expected <= kRxCapacity;
    DropOverdue(Clock_.TickCount());
    AwaitOwedReply(SlaveAddress_);
    DiscardInput();
    const bool sent = Port_.IsPortOpen();
    Send(length, locatable ? expected : 0);
    const uint32_t sentAt = Clock_.TickCount();
    if (FastReplyEnd_.load() && locatable) {
        TakeReplyAsItComes(function, expected, waitMs);
    } else {
        Clock_.Sleep(waitMs);
        TakeInput();
    }
    LastVerdict_ = ReplyVerdict::NoReply;
    LastExceptionCode_ = 0;
    if (!locatable) {
        return -1;
    }
    ReplyCheck check;
    if (sent) {
        check = CheckReply(Rx_.data(), Received_, function, SlaveAddress_,
                           static_cast<int16_t>(expected));
    }
    LastVerdict_ = check.Verdict;
    LastExceptionCode_ = check.ExceptionCode;
    const int16_t p = check.Verdict == ReplyVerdict::Located ? check.Position : int16_t{-1};
    if (ILinkObserver* observer = Observer_.load(std::memory_order_acquire); observer && sent) {
        observer->ReplyLocated(Clock_.TickCount(), p);
    }
    // An exception or a bad CRC was the device's answer; without one, or behind answers to
    // other requests, the reply may still come.
    if (sent &&
        (check.Verdict == ReplyVerdict::NoReply || check.Verdict == ReplyVerdict::Foreign)) {
        Owe(function, static_cast<int16_t>(expected), sentAt);
    }
    return p;
}

void CModbusTransaction::AwaitOwedReply(uint8_t address) {
    const auto owed = std::find_if(Owed_.begin(), Owed_.end(),
                                   [address](const OwedReply& o) { return o.Address == address; });
    if (owed == Owed_.end()) {
        return;
    }
    const OwedReply reply = *owed;
    Owed_.erase(owed);
    // What came in while waiting, after the bytes the read took: a reply the read's wait cut
    // off, or one split across two slices, is still found.
    std::vector<uint8_t> seen = reply.Head;
    // What came in before the wait began is looked at first.
    for (bool first = true;; first = false) {
        const uint32_t now = Clock_.TickCount();
        if (!Port_.IsPortOpen() || (!first && static_cast<int32_t>(reply.Due - now) <= 0)) {
            return;
        }
        if (!first) {
            Clock_.Sleep(std::min(reply.Due - now, kOwedSliceMs));
        }
        const std::vector<uint8_t> bytes = Port_.ReadAllWaiting();
        if (bytes.empty()) {
            continue;
        }
        if (Trace_) {
            Trace_(false, bytes);
        }
        seen.insert(seen.end(), bytes.begin(), bytes.end());
        const int16_t count = static_cast<int16_t>(std::min<size_t>(seen.size(), 32767));
        if (LocateResponse(seen.data(), count, reply.Function, reply.Address, reply.Length) >= 0) {
            if (ILinkObserver* observer = Observer_.load(std::memory_order_acquire)) {
                observer->Discarded(Clock_.TickCount(), DiscardKind::LateReply,
                                    static_cast<size_t>(reply.Length));
            }
            // The next frame keeps the silence after the late reply's last byte, which came
            // within the slice just waited (or before the wait began).
            ReplyEndedEarly_ = true;
            ReplyEndTick_ = Clock_.TickCount();
            return;
        }
        // Only the newest bytes can still complete the reply.
        const auto keep = static_cast<size_t>(kRxCapacity);
        if (seen.size() > keep) {
            seen.erase(seen.begin(), seen.end() - static_cast<std::ptrdiff_t>(keep));
        }
    }
}

void CModbusTransaction::Owe(uint8_t function, int16_t length, uint32_t sentAt) {
    if (RepliesMatched_) {
        return;
    }
    DropOverdue(Clock_.TickCount());
    const uint8_t address = SlaveAddress_;
    Owed_.erase(std::remove_if(Owed_.begin(), Owed_.end(),
                               [address](const OwedReply& o) { return o.Address == address; }),
                Owed_.end());
    if (Owed_.size() >= kMaxOwed) {
        Owed_.erase(Owed_.begin());
    }
    const auto head = static_cast<int16_t>(std::min<int>(Received_, length - 1));
    Owed_.push_back(
        {address, function, length, sentAt + kLateReplyMs,
         std::vector<uint8_t>(Rx_.begin() + (Received_ - head), Rx_.begin() + Received_)});
}

void CModbusTransaction::DropOverdue(uint32_t now) {
    Owed_.erase(std::remove_if(Owed_.begin(), Owed_.end(),
                               [now](const OwedReply& owed) {
                                   return static_cast<int32_t>(owed.Due - now) <= 0;
                               }),
                Owed_.end());
}

void CModbusTransaction::WriteSequence(int16_t length, uint32_t waitMs) {
    AwaitOwedReply(Tx_[0]);
    DiscardInput();
    SendFrame(length);
    if (waitMs > 0) {
        Clock_.Sleep(waitMs);
    }
}

void CModbusTransaction::SendPrivate(int16_t length) {
    AwaitOwedReply(Tx_[0]);
    SendFrame(length);
}

bool CModbusTransaction::ReadHoldingRegisters(uint16_t start, uint16_t count) {
    const int16_t p = ReadSequence(kReadHoldingRegisters, start, count, 300);
    const int expected = ExpectedLength(kReadHoldingRegisters, count);
    if (p < 0) {
        // Every byte taken in and every byte of the expected frame reads as 0.
        const int m = std::min(std::max<int>(Received_, expected), kRxCapacity);
        std::fill(Rx_.begin(), Rx_.begin() + m, uint8_t{0});
        return false;
    }
    if (p > 0) {
        // Bytes arrived ahead of the response: move it to position 0, where the callers
        // read the registers.
        std::copy(Rx_.begin() + p, Rx_.begin() + p + expected, Rx_.begin());
    }
    return true;
}

uint8_t CModbusTransaction::DataByte(int16_t p, int d) const {
    const int at = p + 3 + d;
    return at >= 0 && at < kRxCapacity ? Rx_[static_cast<size_t>(at)] : uint8_t{0};
}

}  // namespace mp
