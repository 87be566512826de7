#include "modbus/ReplyCheck.h"

#include "modbus/LocateResponse.h"
#include "modbus/ModbusCrc16.h"

namespace mp {
namespace {

bool CrcHolds(const uint8_t* frame, int length) {
    const uint16_t crc = ModbusCrc16(frame, static_cast<int16_t>(length - 2));
    return frame[length - 2] == (crc >> 8) && frame[length - 1] == (crc & 0xFF);
}

bool IsRead(uint8_t function) {
    return function >= 0x01 && function <= 0x04;
}

bool IsWriteEcho(uint8_t function) {
    return function == 0x05 || function == 0x06 || function == 0x0F || function == 0x10;
}

}  // namespace

int ForeignFrameAt(const uint8_t* bytes, int n, uint8_t function, uint8_t address, int length) {
    if (n < 5 || bytes[0] != address) {
        return 0;
    }
    const uint8_t f = bytes[1];
    int frame = 0;
    if (IsRead(f)) {
        frame = 5 + bytes[2];
    } else if (IsWriteEcho(f)) {
        frame = 8;
    } else if ((f & 0x80) != 0 && (IsRead(f & 0x7F) || IsWriteEcho(f & 0x7F))) {
        frame = 5;
    }
    if (frame == 0 || frame > n || !CrcHolds(bytes, frame)) {
        return 0;
    }
    const bool ownShape = f == function && frame == length;
    const bool ownException = f == (function | 0x80);
    return ownShape || ownException ? 0 : frame;
}

ReplyCheck CheckReply(const uint8_t* buffer, int16_t n, uint8_t function, uint8_t address,
                      int16_t length) {
    ReplyCheck check;
    for (int p = 0; p < n; ++p) {
        if (ForeignFrameAt(buffer + p, n - p, function, address, length) > 0) {
            check.Verdict = ReplyVerdict::Foreign;
            check.Position = static_cast<int16_t>(p);
            return check;
        }
    }
    const int16_t located = LocateResponse(buffer, n, function, address, length);
    if (located >= 0) {
        check.Verdict = ReplyVerdict::Located;
        check.Position = located;
        return check;
    }
    for (int p = 0; p + 5 <= n; ++p) {
        if (buffer[p] != address) {
            continue;
        }
        if (buffer[p + 1] == (function | 0x80) && CrcHolds(buffer + p, 5)) {
            check.Verdict = ReplyVerdict::Exception;
            check.Position = static_cast<int16_t>(p);
            check.ExceptionCode = buffer[p + 2];
            return check;
        }
    }
    // A frame of the request's shape that came whole but does not hold its CRC.
    for (int p = 0; p + length <= n; ++p) {
        const bool counted = !IsRead(function) || buffer[p + 2] == length - 5;
        if (buffer[p] == address && buffer[p + 1] == function && counted) {
            check.Verdict = ReplyVerdict::BadCrc;
            check.Position = static_cast<int16_t>(p);
            return check;
        }
    }
    return check;
}

}  // namespace mp
