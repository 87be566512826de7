#pragma once
// The newest exchanges (at most a set number; 10 000 unless changed) and the counters since
// the line was connected or the counters were reset. Records come from the I/O worker and are
// read by the window thread: every member is guarded by one mutex, held only to copy.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "diagnostics/ExchangeRecord.h"

namespace mp {

struct OperationCount {
    uint64_t Asked = 0;  // reads sent
    uint64_t Good = 0;   // reads whose reply was located
    // One request of the operation, to name it in the window's language at the time it is
    // shown (the map's key is the name it is counted by).
    std::vector<uint8_t> Request;
};

struct ExchangeCounters {
    uint64_t Requests = 0;  // frames sent
    uint64_t GoodReplies = 0;
    uint64_t NoReply = 0;
    uint64_t BadCrc = 0;
    uint64_t Exceptions = 0;
    uint64_t Invalid = 0;     // bytes came but held no frame of the request's shape
    uint64_t StrayBytes = 0;  // bytes dropped before requests and ahead of replies
    uint64_t LateBytes = 0;   // late replies dropped
    std::map<std::string, OperationCount> PerOperation;  // by ExchangeSummary::Operation
};

class CExchangeLog {
public:
    static constexpr size_t kDefaultCapacity = 10000;

    explicit CExchangeLog(size_t capacity = kDefaultCapacity);

    // Keeps at most `capacity` records (at least 1), dropping the oldest.
    void SetCapacity(size_t capacity);
    size_t Capacity() const;

    // Adds a record, numbering it, and counts it.
    void Add(ExchangeRecord record);
    // The kept records numbered after `sequence`, oldest first.
    std::vector<ExchangeRecord> Since(uint64_t sequence) const;
    size_t Size() const;
    // Number of the newest record (0: none yet).
    uint64_t LastSequence() const;

    ExchangeCounters Counters() const;
    // Drops the records and zeroes the counters.
    void Clear();
    void ResetCounters();

private:
    mutable std::mutex Mutex_;
    size_t Capacity_;
    std::deque<ExchangeRecord> Records_;
    uint64_t LastSequence_ = 0;
    ExchangeCounters Counters_;
};

}  // namespace mp
