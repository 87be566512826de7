#include "modbus/ModbusTransaction.h"

#include <algorithm>

#include "modbus/LocateResponse.h"
#include "modbus/RequestBuilder.h"

namespace mp {

CModbusTransaction::CModbusTransaction(IPort& port, IClock& clock) : Port_(port), Clock_(clock) {}

void CModbusTransaction::SendFrame(int16_t length) {
    if (!Port_.IsPortOpen()) {
        return;
    }
    const auto count = static_cast<size_t>(std::clamp<int>(length, 0, kTxCapacity));
    std::vector<uint8_t> frame(Tx_.begin(), Tx_.begin() + static_cast<std::ptrdiff_t>(count));
    if (Trace_) {
        Trace_(true, frame);
    }
    Port_.WriteBytes(frame);
}

void CModbusTransaction::TakeInput() {
    const int16_t waiting = Port_.WaitingCount();
    const std::vector<uint8_t> bytes = Port_.ReadAllWaiting();
    // Bytes that arrived after the count was taken come out of the port with the array but
    // are not copied; bytes beyond the buffer's capacity are dropped.
    const size_t n = std::min({static_cast<size_t>(std::max<int16_t>(waiting, 0)), bytes.size(),
                               static_cast<size_t>(kRxCapacity)});
    std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n), Rx_.begin());
    Received_ = static_cast<int16_t>(n);
    if (Trace_ && n > 0) {
        Trace_(false,
               std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n)));
    }
}

int CModbusTransaction::ExpectedLength(uint8_t function, uint16_t quantity) {
    return function == kReadHoldingRegisters ? 5 + 2 * static_cast<int>(quantity) : 6;
}

int16_t CModbusTransaction::ReadSequence(uint8_t function, uint16_t start, uint16_t quantity,
                                         uint32_t waitMs) {
    const int16_t length = BuildReadRequest(Tx_, SlaveAddress_, function, start, quantity);
    Port_.DiscardInput();
    SendFrame(length);
    Clock_.Sleep(waitMs);
    TakeInput();
    // A frame longer than the receive buffer can never be located.
    const int expected = ExpectedLength(function, quantity);
    if (expected > kRxCapacity) {
        return -1;
    }
    return LocateResponse(Rx_.data(), Received_, function, SlaveAddress_,
                          static_cast<int16_t>(expected));
}

void CModbusTransaction::WriteSequence(int16_t length, uint32_t waitMs) {
    Port_.DiscardInput();
    SendFrame(length);
    if (waitMs > 0) {
        Clock_.Sleep(waitMs);
    }
}

void CModbusTransaction::SendPrivate(int16_t length) {
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
