#pragma once
// One row of the communication monitor: a request and what came back for it, or input that
// was dropped unread. Built on the I/O worker from what the transaction reports.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mp {

struct ExchangeRecord {
    enum class Kind {
        Exchange,      // a request, and for a read the bytes taken in after its wait
        LateDiscard,   // an earlier read's late reply, waited out and dropped
        StrayDiscard,  // bytes waiting before a request, dropped
    };
    Kind Type = Kind::Exchange;
    uint64_t Sequence = 0;  // 1, 2, ... since the log was made
    uint32_t Time = 0;      // link clock (ms) of the request or of the drop
    std::vector<uint8_t> Request;
    int ReplyLength = 0;         // length of the reply a read looks for; 0: none is read
    bool Answered = false;       // a read's verdict has come (false: still waiting or a write)
    std::vector<uint8_t> Reply;  // the bytes taken in after the wait
    int Position = -1;           // where the reply was located in Reply; -1: none
    uint32_t ReplyMs = 0;        // from the request to taking the input
    size_t LateBytes = 0;        // an earlier read's late reply found among Reply
    size_t Dropped = 0;          // bytes dropped (discard rows)
};

}  // namespace mp
