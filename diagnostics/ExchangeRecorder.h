#pragma once
// Turns what the transaction reports into exchange records and adds them to a log. Runs on
// the I/O worker; the log hands them to the window thread.

#include "diagnostics/ExchangeLog.h"
#include "modbus/LinkObserver.h"

namespace mp {

class CExchangeRecorder : public ILinkObserver {
public:
    explicit CExchangeRecorder(CExchangeLog& log) : Log_(log) {}

    void FrameSent(uint32_t time, const uint8_t* bytes, size_t n, int replyLength) override;
    void BytesTaken(uint32_t time, const uint8_t* bytes, size_t n) override;
    void ReplyLocated(uint32_t time, int position) override;
    void Discarded(uint32_t time, DiscardKind kind, size_t count) override;

private:
    // Adds the read still open (a read whose verdict never came).
    void Flush();

    CExchangeLog& Log_;
    ExchangeRecord Open_;
    bool HasOpen_ = false;
    bool Taken_ = false;
};

}  // namespace mp
