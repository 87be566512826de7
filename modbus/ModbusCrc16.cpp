#include "modbus/ModbusCrc16.h"

namespace mp {
namespace {

// Entry i of the high table is the low byte of the bitwise remainder of i, the low table
// holds its high byte.
constexpr std::array<uint8_t, 256> MakeTable(bool highTable) {
    std::array<uint8_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned r = i;
        for (int bit = 0; bit < 8; ++bit) {
            r = (r & 1u) ? (r >> 1) ^ 0xA001u : r >> 1;
        }
        table[i] = static_cast<uint8_t>(highTable ? (r & 0xFFu) : (r >> 8));
    }
    return table;
}

}  // namespace

const std::array<uint8_t, 256> CrcTableHi = MakeTable(true);
const std::array<uint8_t, 256> CrcTableLo = MakeTable(false);

uint16_t ModbusCrc16(const uint8_t* data, int16_t length) {
    uint8_t hi = 0xFF;
    uint8_t lo = 0xFF;
    for (int16_t k = 0; k < length; ++k) {
        const uint8_t i = hi ^ data[k];
        hi = lo ^ CrcTableHi[i];
        lo = CrcTableLo[i];
    }
    return static_cast<uint16_t>(hi << 8 | lo);
}

}  // namespace mp
