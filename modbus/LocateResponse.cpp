#include "modbus/LocateResponse.h"

#include "modbus/ModbusCrc16.h"

namespace mp {

int16_t LocateResponse(const uint8_t* buffer, int16_t n, uint8_t function, uint8_t address,
                       int16_t length) {
    if (length < 3 || n < length) {
        return -1;
    }
    const bool counted = function >= 0x01 && function <= 0x04;
    for (int p = 0; p <= n - length; ++p) {
        if (buffer[p] != address || buffer[p + 1] != function) {
            continue;
        }
        if (counted && buffer[p + 2] != length - 5) {
            continue;
        }
        const uint16_t crc = ModbusCrc16(buffer + p, static_cast<int16_t>(length - 2));
        if (buffer[p + length - 2] == (crc >> 8) && buffer[p + length - 1] == (crc & 0xFF)) {
            return static_cast<int16_t>(p);
        }
    }
    return -1;
}

}  // namespace mp
