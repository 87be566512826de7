#pragma once
// Modbus TCP framing (the MBAP header) for a gateway that speaks it. Everything above the
// port works with RTU frames, so a request leaves as an RTU frame and is turned into an ADU
// here (its CRC checked and dropped), and a received ADU is turned back into an RTU frame with
// a CRC of our own. The decoder takes bytes as they come off the stream, keeps a partial ADU
// until it is whole, and accepts only the reply to the last request sent: a late reply to an
// earlier request carries another transaction id and is dropped, so it can never be taken for
// the reply of a newer one. Plain C++: no Qt.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mp {

// An ADU: transaction id (2), protocol id 0 (2), length of what follows (2), unit id (1),
// then the PDU; no CRC.
constexpr size_t kMbapHeaderSize = 7;
// The largest length field: the unit id and a PDU of at most 253 bytes.
constexpr uint16_t kMbapMaxLength = 254;

// The ADU of an RTU frame (address, PDU, CRC) under `transaction`, the unit id being the
// frame's address. Empty when the frame is shorter than address, function and CRC, its PDU too
// long, or its CRC wrong.
std::vector<uint8_t> MbapFromRtu(const std::vector<uint8_t>& rtu, uint16_t transaction);

// The RTU frame of a whole ADU: unit id as the address, the PDU, and a freshly computed CRC.
// Empty when `adu` is not one whole, well-formed ADU.
std::vector<uint8_t> RtuFromMbap(const std::vector<uint8_t>& adu);

class CMbapDecoder {
public:
    // The transaction id the next reply must carry (the id of the request just sent).
    void Expect(uint16_t transaction) { Expected_ = transaction; }
    uint16_t Expected() const { return Expected_; }

    // Takes the bytes received and returns the RTU frames of the accepted ADUs, in order.
    // Bytes of a partial ADU stay until the rest comes; an ADU of another transaction is
    // dropped; a header that cannot start an ADU (protocol id not 0, length 0 or over 254)
    // empties the stream, since nothing after it can be trusted to start on a boundary.
    std::vector<std::vector<uint8_t>> Feed(const std::vector<uint8_t>& bytes);

    // Forgets what is buffered (the connection was closed or reopened).
    void Reset() { Pending_.clear(); }
    size_t Pending() const { return Pending_.size(); }
    // ADUs dropped as stale and times the stream was emptied as garbage, since construction.
    int StaleDropped() const { return StaleDropped_; }
    int GarbageResets() const { return GarbageResets_; }

private:
    std::vector<uint8_t> Pending_;
    uint16_t Expected_ = 0;
    int StaleDropped_ = 0;
    int GarbageResets_ = 0;
};

}  // namespace mp
