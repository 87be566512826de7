#pragma once
// A second, bitwise CRC-16/MODBUS for the tests, independent of the table-driven one under
// test, and helpers that build frames with it.

#include <QString>
#include <cstdint>
#include <vector>

#include "support/Vectors.h"

namespace mp::test {

// The remainder of CRC-16/MODBUS (reflected polynomial 0xA001, initial 0xFFFF).
inline uint16_t BitwiseCrc(const uint8_t* data, size_t length) {
    uint16_t crc = 0xFFFF;
    for (size_t k = 0; k < length; ++k) {
        crc ^= data[k];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1u) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001u)
                             : static_cast<uint16_t>(crc >> 1);
        }
    }
    return crc;
}

// The bytes with their CRC appended as on the wire (low-order byte of the remainder first).
inline std::vector<uint8_t> WithCrc(std::vector<uint8_t> bytes) {
    const uint16_t crc = BitwiseCrc(bytes.data(), bytes.size());
    bytes.push_back(static_cast<uint8_t>(crc & 0xFF));
    bytes.push_back(static_cast<uint8_t>(crc >> 8));
    return bytes;
}

inline std::vector<uint8_t> FrameOf(const QString& hexWithoutCrc) {
    return WithCrc(HexBytes(hexWithoutCrc));
}

inline bool CrcHolds(const std::vector<uint8_t>& frame) {
    return frame.size() >= 4 &&
           WithCrc(std::vector<uint8_t>(frame.begin(), frame.end() - 2)) == frame;
}

inline std::vector<uint8_t> Concat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> all;
    for (const std::vector<uint8_t>& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

}  // namespace mp::test
