#include "diagnostics/ExchangeLog.h"

#include <algorithm>

#include "diagnostics/ExchangeDecoder.h"

namespace mp {

CExchangeLog::CExchangeLog(size_t capacity) : Capacity_(std::max<size_t>(capacity, 1)) {}

void CExchangeLog::SetCapacity(size_t capacity) {
    std::lock_guard<std::mutex> guard(Mutex_);
    Capacity_ = std::max<size_t>(capacity, 1);
    while (Records_.size() > Capacity_) {
        Records_.pop_front();
    }
}

size_t CExchangeLog::Capacity() const {
    std::lock_guard<std::mutex> guard(Mutex_);
    return Capacity_;
}

void CExchangeLog::Add(ExchangeRecord record) {
    // Decoded outside the lock: the window thread never waits on the text work.
    const ExchangeSummary summary = CExchangeDecoder::Decode(record);
    std::lock_guard<std::mutex> guard(Mutex_);
    record.Sequence = ++LastSequence_;
    ExchangeCounters& c = Counters_;
    switch (record.Type) {
        case ExchangeRecord::Kind::LateDiscard:
            c.LateBytes += record.Dropped;
            break;
        case ExchangeRecord::Kind::StrayDiscard:
            c.StrayBytes += record.Dropped;
            break;
        case ExchangeRecord::Kind::Exchange: {
            ++c.Requests;
            c.LateBytes += record.LateBytes;
            c.StrayBytes += summary.StrayBytes;
            if (summary.Outcome != ExchangeOutcome::Sent) {
                OperationCount& op = c.PerOperation[summary.Operation];
                if (op.Request.empty()) {
                    op.Request = record.Request;
                }
                ++op.Asked;
                if (summary.Outcome == ExchangeOutcome::Good) {
                    ++op.Good;
                }
            }
            switch (summary.Outcome) {
                case ExchangeOutcome::Good:
                    ++c.GoodReplies;
                    break;
                case ExchangeOutcome::NoReply:
                    ++c.NoReply;
                    break;
                case ExchangeOutcome::BadCrc:
                    ++c.BadCrc;
                    break;
                case ExchangeOutcome::Exception:
                    ++c.Exceptions;
                    break;
                case ExchangeOutcome::Invalid:
                    ++c.Invalid;
                    break;
                default:
                    break;
            }
            break;
        }
    }
    Records_.push_back(std::move(record));
    if (Records_.size() > Capacity_) {
        Records_.pop_front();
    }
}

std::vector<ExchangeRecord> CExchangeLog::Since(uint64_t sequence) const {
    std::lock_guard<std::mutex> guard(Mutex_);
    const auto first =
        std::find_if(Records_.begin(), Records_.end(),
                     [sequence](const ExchangeRecord& r) { return r.Sequence > sequence; });
    return std::vector<ExchangeRecord>(first, Records_.end());
}

size_t CExchangeLog::Size() const {
    std::lock_guard<std::mutex> guard(Mutex_);
    return Records_.size();
}

uint64_t CExchangeLog::LastSequence() const {
    std::lock_guard<std::mutex> guard(Mutex_);
    return LastSequence_;
}

ExchangeCounters CExchangeLog::Counters() const {
    std::lock_guard<std::mutex> guard(Mutex_);
    return Counters_;
}

void CExchangeLog::Clear() {
    std::lock_guard<std::mutex> guard(Mutex_);
    Records_.clear();
    Counters_ = {};
}

void CExchangeLog::ResetCounters() {
    std::lock_guard<std::mutex> guard(Mutex_);
    Counters_ = {};
}

}  // namespace mp
