#pragma once
// What the bytes taken in after a read say about its reply: the reply itself, an answer that
// is no usable reply (an exception, a frame whose CRC does not hold), a whole frame of the
// device that answers another request (the device is behind: it still works off earlier
// requests), or nothing yet.

#include <cstdint>

namespace mp {

enum class ReplyVerdict : uint8_t {
    Located,    // the reply of the request's shape with a valid CRC
    NoReply,    // nothing, or bytes that hold no whole frame: a reply may still be on its way
    BadCrc,     // a frame of the request's shape whose CRC does not hold
    Exception,  // the device refused the request (function | 0x80, exception code)
    Foreign,    // a whole frame of this device answering another request
};

struct ReplyCheck {
    ReplyVerdict Verdict = ReplyVerdict::NoReply;
    int16_t Position = -1;      // of the located reply, or of the frame the verdict is about
    uint8_t ExceptionCode = 0;  // with Exception
};

// Judges bytes 0 .. n - 1 of `buffer` as the reply to a read with `function` (0x01 to 0x04)
// at `address` whose reply has `length` bytes. A whole frame answering another request wins
// over a located reply: a device that has fallen behind may be answering an earlier request
// of the same shape too, so no reply among such bytes can be trusted.
ReplyCheck CheckReply(const uint8_t* buffer, int16_t n, uint8_t function, uint8_t address,
                      int16_t length);

// Length of the whole frame of a reply from `address` that starts at bytes[0] (n bytes
// available) and answers a request other than a read with `function` and reply `length`;
// 0 when there is none there. Read replies (0x01 to 0x04, counted), write echoes (0x05, 0x06,
// 0x0F, 0x10) and exception replies are recognised by their CRC.
int ForeignFrameAt(const uint8_t* bytes, int n, uint8_t function, uint8_t address, int length);

}  // namespace mp
