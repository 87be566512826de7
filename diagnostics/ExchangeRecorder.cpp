#include "diagnostics/ExchangeRecorder.h"

namespace mp {

void CExchangeRecorder::Flush() {
    if (HasOpen_) {
        Log_.Add(std::move(Open_));
    }
    Open_ = {};
    HasOpen_ = false;
    Taken_ = false;
}

void CExchangeRecorder::FrameSent(uint32_t time, const uint8_t* bytes, size_t n, int replyLength) {
    Flush();
    Open_.Type = ExchangeRecord::Kind::Exchange;
    Open_.Time = time;
    Open_.Request.assign(bytes, bytes + n);
    Open_.ReplyLength = replyLength;
    HasOpen_ = true;
    if (replyLength == 0) {
        Flush();
    }
}

void CExchangeRecorder::BytesTaken(uint32_t time, const uint8_t* bytes, size_t n) {
    if (!HasOpen_) {
        return;
    }
    Open_.Reply.assign(bytes, bytes + n);
    Open_.ReplyMs = time - Open_.Time;
    Taken_ = true;
}

void CExchangeRecorder::ReplyLocated(uint32_t time, int position) {
    if (!HasOpen_) {
        return;
    }
    if (!Taken_) {
        Open_.ReplyMs = time - Open_.Time;
    }
    Open_.Position = position;
    Open_.Answered = true;
    Flush();
}

void CExchangeRecorder::Discarded(uint32_t time, DiscardKind kind, size_t count) {
    if (kind == DiscardKind::LateReply && HasOpen_ && Taken_) {
        // An earlier read's reply among this read's input.
        Open_.LateBytes += count;
        return;
    }
    ExchangeRecord row;
    row.Type = kind == DiscardKind::LateReply ? ExchangeRecord::Kind::LateDiscard
                                              : ExchangeRecord::Kind::StrayDiscard;
    row.Time = time;
    row.Dropped = count;
    Log_.Add(std::move(row));
}

}  // namespace mp
