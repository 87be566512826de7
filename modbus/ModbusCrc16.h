#pragma once
// CRC-16 of Modbus RTU (reflected polynomial 0xA001, initial 0xFFFF), two-table form.
// The value returned has its bytes swapped against the plain remainder: store its high byte
// first and the frame carries the remainder's low-order byte first, as RTU requires.

#include <array>
#include <cstdint>

namespace mp {

extern const std::array<uint8_t, 256> CrcTableHi;
extern const std::array<uint8_t, 256> CrcTableLo;

uint16_t ModbusCrc16(const uint8_t* data, int16_t length);

}  // namespace mp
