#pragma once
// Finds the first valid response frame among the received bytes.

#include <cstdint>

namespace mp {

// Position of the first frame of `length` bytes (CRC included) among bytes 0 .. n - 1 of
// `buffer` that starts with `address` and `function` and carries a valid CRC; -1 if none.
// The reply to a read (functions 0x01 to 0x04) must also carry the byte count its length
// gives (length - 5): a frame that counts otherwise answers another request, or is noise
// whose CRC happened to hold. An exception reply (function | 0x80) never matches.
int16_t LocateResponse(const uint8_t* buffer, int16_t n, uint8_t function, uint8_t address,
                       int16_t length);

}  // namespace mp
