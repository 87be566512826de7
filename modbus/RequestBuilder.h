#pragma once
// Request layouts, one builder per function code. Each fills the buffer from byte 0,
// appends the CRC and returns the frame length.

#include <cstdint>

#include "modbus/FrameBuffers.h"

namespace mp {

// Appends the CRC of bytes 0 .. length - 1 at positions length and length + 1 (high byte
// of ModbusCrc16 first); returns length + 2.
int16_t AppendCrc(TxBuffer& tx, int16_t length);

// Functions 0x01, 0x02 and 0x03: address, function, start, quantity, CRC (8 bytes).
int16_t BuildReadRequest(TxBuffer& tx, uint8_t address, uint8_t function, uint16_t start,
                         uint16_t quantity);

// Function 0x05: coil address and 0xFF00 (on) or 0x0000 (off), CRC (8 bytes).
int16_t BuildWriteCoil(TxBuffer& tx, uint8_t address, uint16_t coil, bool on);

// Function 0x10: start, quantity q, byte count 2q, the 2q data bytes as given, CRC
// (9 + 2q bytes). q is 1 to 5.
int16_t BuildWriteRegisters(TxBuffer& tx, uint8_t address, uint16_t start, const uint8_t* data,
                            uint16_t quantity);

// Function 0x12, short form: marker 5A A5, word, tag 0x0C, four data bytes, CRC (13 bytes).
int16_t BuildPrivateShort(TxBuffer& tx, uint8_t address, uint16_t word, const uint8_t* data4);

// Function 0x12, long form: marker A5 5A, word, tag 0x11, nine data bytes, CRC (18 bytes).
int16_t BuildPrivateLong(TxBuffer& tx, uint8_t address, uint16_t word, const uint8_t* data9);

}  // namespace mp
