#pragma once
// Reads one exchange in this device's terms: which operation a request belongs to, what the
// reply says ("读A/B/C相电流: 14.95 / 14.85 / 15.10 A"), and how it went (good reply, no
// reply, bad CRC, exception with its meaning, stray bytes ahead of the reply). Plain C++;
// texts are UTF-8, in the window's language at the time of decoding (mp::Tr): decode again
// to show a record in another language.

#include <cstdint>
#include <string>
#include <vector>

#include "diagnostics/ExchangeRecord.h"

namespace mp {

enum class ExchangeOutcome {
    Sent,       // a write or private frame: its reply is never read
    Good,       // the reply was located
    NoReply,    // nothing came in the wait
    BadCrc,     // a frame of the expected shape whose CRC does not hold
    Exception,  // the device answered with an exception
    Invalid,    // bytes came, but no frame of the request's shape among them
    Discarded,  // a discard row
};

struct DecodeContext {
    // The CT ratio the window holds; 0 when unknown (currents are then shown raw).
    int CtRatio = 0;
};

struct ExchangeSummary {
    ExchangeOutcome Outcome = ExchangeOutcome::Sent;
    // "读A/B/C相电流", "写定值 0x5453", ...: the key the counters and the filter go by, the
    // same in every language (OperationName gives it in the window's language).
    std::string Operation;
    std::string Range;  // "0x0106-0x0108", "线圈 0x0000", ""
    std::string Text;   // the row's summary
    int ExceptionCode = 0;
    size_t StrayBytes = 0;  // bytes ahead of a located reply
};

class CExchangeDecoder {
public:
    static ExchangeSummary Decode(const ExchangeRecord& record, const DecodeContext& context = {});
    // The operation a request frame belongs to, in the window's language.
    static std::string OperationName(const std::vector<uint8_t>& request);
    // The same operation as the key it is counted and filtered by (the Chinese name).
    static std::string OperationKey(const std::vector<uint8_t>& request);
    // "非法数据地址" for 2, ...; "未知异常" for codes Modbus does not define.
    static std::string ExceptionMeaning(int code);
    static std::string OutcomeText(ExchangeOutcome outcome);
    static std::string Hex(const std::vector<uint8_t>& bytes);
};

}  // namespace mp
