#pragma once
// Byte helpers of the framing, line and device tests, on the device rig's own bitwise CRC:
// a frame from its hex body, a CRC check, concatenation and slices.

#include <QString>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "support/DeviceRig.h"
#include "support/Vectors.h"

namespace mp::test {

// The bytes given in hex with their CRC appended.
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

inline std::vector<uint8_t> Slice(const std::vector<uint8_t>& all, size_t from, size_t to) {
    return std::vector<uint8_t>(all.begin() + static_cast<std::ptrdiff_t>(from),
                                all.begin() + static_cast<std::ptrdiff_t>(to));
}

}  // namespace mp::test
