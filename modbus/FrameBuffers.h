#pragma once
// The two byte buffers every exchange goes through.

#include <array>
#include <cstdint>

namespace mp {

// Every request is built from byte 0; the longest one is 19 bytes.
constexpr int kTxCapacity = 32;
// Received bytes are copied here from byte 0; anything beyond its size is dropped.
constexpr int kRxCapacity = 300;

using TxBuffer = std::array<uint8_t, kTxCapacity>;
using RxBuffer = std::array<uint8_t, kRxCapacity>;

// Function codes the tool sends.
enum FunctionCode : uint8_t {
    kReadCoils = 0x01,
    kReadDiscreteInputs = 0x02,
    kReadHoldingRegisters = 0x03,
    kWriteSingleCoil = 0x05,
    kWriteMultipleRegisters = 0x10,
    kPrivateCommand = 0x12,
};

}  // namespace mp
