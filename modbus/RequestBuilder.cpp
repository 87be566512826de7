#include "modbus/RequestBuilder.h"

#include <algorithm>

#include "modbus/ModbusCrc16.h"

namespace mp {
namespace {

void Put16(TxBuffer& tx, int at, uint16_t value) {
    tx[at] = static_cast<uint8_t>(value >> 8);
    tx[at + 1] = static_cast<uint8_t>(value & 0xFF);
}

}  // namespace

int16_t AppendCrc(TxBuffer& tx, int16_t length) {
    // The CRC's two bytes must still fit in the buffer.
    length = static_cast<int16_t>(std::clamp<int>(length, 0, kTxCapacity - 2));
    const uint16_t crc = ModbusCrc16(tx.data(), length);
    Put16(tx, length, crc);
    return static_cast<int16_t>(length + 2);
}

int16_t BuildReadRequest(TxBuffer& tx, uint8_t address, uint8_t function, uint16_t start,
                         uint16_t quantity) {
    tx[0] = address;
    tx[1] = function;
    Put16(tx, 2, start);
    Put16(tx, 4, quantity);
    return AppendCrc(tx, 6);
}

int16_t BuildWriteCoil(TxBuffer& tx, uint8_t address, uint16_t coil, bool on) {
    tx[0] = address;
    tx[1] = kWriteSingleCoil;
    Put16(tx, 2, coil);
    Put16(tx, 4, on ? 0xFF00 : 0x0000);
    return AppendCrc(tx, 6);
}

int16_t BuildWriteRegisters(TxBuffer& tx, uint8_t address, uint16_t start, const uint8_t* data,
                            uint16_t quantity) {
    const int byteCount = std::clamp<int>(quantity, 1, 5) * 2;
    tx[0] = address;
    tx[1] = kWriteMultipleRegisters;
    Put16(tx, 2, start);
    Put16(tx, 4, static_cast<uint16_t>(byteCount / 2));
    tx[6] = static_cast<uint8_t>(byteCount);
    std::copy(data, data + byteCount, tx.begin() + 7);
    return AppendCrc(tx, static_cast<int16_t>(7 + byteCount));
}

int16_t BuildPrivateShort(TxBuffer& tx, uint8_t address, uint16_t word, const uint8_t* data4) {
    tx[0] = address;
    tx[1] = kPrivateCommand;
    tx[2] = 0x5A;
    tx[3] = 0xA5;
    Put16(tx, 4, word);
    tx[6] = 0x0C;
    std::copy(data4, data4 + 4, tx.begin() + 7);
    return AppendCrc(tx, 11);
}

int16_t BuildPrivateLong(TxBuffer& tx, uint8_t address, uint16_t word, const uint8_t* data9) {
    tx[0] = address;
    tx[1] = kPrivateCommand;
    tx[2] = 0xA5;
    tx[3] = 0x5A;
    Put16(tx, 4, word);
    tx[6] = 0x11;
    std::copy(data9, data9 + 9, tx.begin() + 7);
    return AppendCrc(tx, 16);
}

}  // namespace mp
