#include "diagnostics/ExchangeDecoder.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "device/LineCodes.h"
#include "device/RegisterMap.h"
#include "device/Scaling.h"
#include "language/Text.h"
#include "modbus/ReplyCheck.h"

namespace mp {

namespace {

std::string Format(const char* format, ...) {
    char text[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

uint16_t Word(const std::vector<uint8_t>& bytes, size_t at) {
    return at + 1 < bytes.size() ? static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1]) : 0;
}

std::string BaudOfCode(int code) {
    const std::string text = BaudTextOfCode(code);
    return text.empty() ? "?" : text;
}

std::string Hex4(unsigned value) {
    return Format("0x%04X", value);
}
std::string Hex2(unsigned value) {
    return Format("0x%02X", value);
}
std::string Number(unsigned value) {
    return std::to_string(value);
}

// A marked text in the window's language (`shown`), or as written: the operation names are
// also the keys the counters and the filter go by, the same in every language.
std::string Say(const char* source, bool shown) {
    return shown ? Tr(source) : source;
}

// The 0x03 reads this program makes, by start and quantity (0: any quantity).
struct KnownRead {
    uint16_t Start;
    uint16_t Quantity;
    const char* Name;
};
const KnownRead kKnownReads[] = {
    {kPhaseCurrentRegister, kPhaseCurrentCount,
     QT_TRANSLATE_NOOP("MotorProtector", "读A/B/C相电流")},
    {kPhaseVoltageRegister, kPhaseVoltageCount,
     QT_TRANSLATE_NOOP("MotorProtector", "读A/B/C相电压")},
    {kStatusRegister, kStatusCount, QT_TRANSLATE_NOOP("MotorProtector", "读状态寄存器")},
    {kSettingsBlockAStart, kSettingsBlockACount, QT_TRANSLATE_NOOP("MotorProtector", "读定值 A段")},
    {kSettingsBlockBStart, kSettingsBlockBCount, QT_TRANSLATE_NOOP("MotorProtector", "读定值 B段")},
    {kSettingsBlockCStart, kSettingsBlockCCount, QT_TRANSLATE_NOOP("MotorProtector", "读定值 C段")},
    {kStartModeReadRegister, 1, QT_TRANSLATE_NOOP("MotorProtector", "读起动方式")},
    {kEventCountRegister, 1, QT_TRANSLATE_NOOP("MotorProtector", "读事件条数")},
    {kEventCodeRegister, 0, QT_TRANSLATE_NOOP("MotorProtector", "读事件代码")},
    {kCoefficientRegister, kCoefficientRegisterCount,
     QT_TRANSLATE_NOOP("MotorProtector", "读校准系数")},
    {kDeviceAddressRegister, 1, QT_TRANSLATE_NOOP("MotorProtector", "读设备地址")},
    {kDeviceBaudRegister, 1, QT_TRANSLATE_NOOP("MotorProtector", "读波特率代码")},
    {kDeviceAddressRegister, kCommParamCount,
     QT_TRANSLATE_NOOP("MotorProtector", "读地址与波特率")},
};

// Name of a 0x03 read by its start and quantity.
std::string ReadName(uint16_t start, uint16_t quantity, bool shown) {
    for (const KnownRead& read : kKnownReads) {
        if (read.Start == start && (read.Quantity == 0 || read.Quantity == quantity)) {
            return Say(read.Name, shown);
        }
    }
    return FillIn(Say(QT_TRANSLATE_NOOP("MotorProtector", "读寄存器 %1"), shown), {Hex4(start)});
}

const char* const kSettingsWrite = QT_TRANSLATE_NOOP("MotorProtector", "写定值 %1");

std::string WriteName(uint16_t start, bool shown) {
    switch (start) {
        case kCommParamWriteRegister:
            return Say(QT_TRANSLATE_NOOP("MotorProtector", "写通讯参数"), shown);
        case kStartModeWriteRegister:
            return Say(QT_TRANSLATE_NOOP("MotorProtector", "写起动方式"), shown);
        default:
            return FillIn(Say(kSettingsWrite, shown), {Hex4(start)});
    }
}

std::string CoilName(uint16_t coil, bool on, bool shown) {
    switch (coil) {
        case 0:
            return Say(on ? QT_TRANSLATE_NOOP("MotorProtector", "闭合输出A")
                          : QT_TRANSLATE_NOOP("MotorProtector", "断开输出A"),
                       shown);
        case 1:
            return Say(on ? QT_TRANSLATE_NOOP("MotorProtector", "闭合输出B")
                          : QT_TRANSLATE_NOOP("MotorProtector", "断开输出B"),
                       shown);
        case 2:
            return Say(on ? QT_TRANSLATE_NOOP("MotorProtector", "复位输出 置位")
                          : QT_TRANSLATE_NOOP("MotorProtector", "复位输出"),
                       shown);
        default:
            return FillIn(Say(QT_TRANSLATE_NOOP("MotorProtector", "写线圈 %1"), shown),
                          {Hex4(coil)});
    }
}

const char* const kCurrentCalibration = QT_TRANSLATE_NOOP("MotorProtector", "电流校准帧");
const char* const kVoltageCalibration = QT_TRANSLATE_NOOP("MotorProtector", "电压校准帧");
const char* const kPwmFrame = QT_TRANSLATE_NOOP("MotorProtector", "PWM输出帧");

std::string NameOf(const std::vector<uint8_t>& request, bool shown) {
    if (request.size() < 2) {
        return Say(QT_TRANSLATE_NOOP("MotorProtector", "未知帧"), shown);
    }
    const uint16_t start = Word(request, 2);
    const uint16_t second = Word(request, 4);
    switch (request[1]) {
        case kReadCoils:
            return Say(QT_TRANSLATE_NOOP("MotorProtector", "读输出状态"), shown);
        case kReadDiscreteInputs:
            return Say(QT_TRANSLATE_NOOP("MotorProtector", "读开关量输入"), shown);
        case kReadHoldingRegisters:
            return ReadName(start, second, shown);
        case kWriteSingleCoil:
            return CoilName(start, second == 0xFF00, shown);
        case kWriteMultipleRegisters:
            return WriteName(start, shown);
        case kPrivateCommand:
            if (request.size() >= 18) {
                return Say(Word(request, 4) == kVoltageCalibrationWord ? kVoltageCalibration
                                                                       : kCurrentCalibration,
                           shown);
            }
            return Say(kPwmFrame, shown);
        default:
            return FillIn(Say(QT_TRANSLATE_NOOP("MotorProtector", "功能码 %1"), shown),
                          {Format("%02X", request[1])});
    }
}

// What a located 0x03 reply says; `r` gives register k.
template <typename Reg>
std::string ReadValues(uint16_t start, uint16_t quantity, const Reg& r,
                       const DecodeContext& context) {
    if (start == kPhaseCurrentRegister && quantity == kPhaseCurrentCount) {
        if (context.CtRatio <= 0) {
            return FillIn(
                Tr(QT_TRANSLATE_NOOP("MotorProtector", "读A/B/C相电流: 原始值 %1 / %2 / %3")),
                {Number(r(0)), Number(r(1)), Number(r(2))});
        }
        const double k = context.CtRatio * kCurrentPerCtRatio;
        return FillIn(
            Tr(QT_TRANSLATE_NOOP("MotorProtector", "读A/B/C相电流: %1 / %2 / %3 A")),
            {Format("%.2f", r(0) * k), Format("%.2f", r(1) * k), Format("%.2f", r(2) * k)});
    }
    if (start == kPhaseVoltageRegister && quantity == kPhaseVoltageCount) {
        return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "读A/B/C相电压: %1 / %2 / %3 V")),
                      {Format("%.1f", r(0) * kVoltsPerUnit), Format("%.1f", r(1) * kVoltsPerUnit),
                       Format("%.1f", r(2) * kVoltsPerUnit)});
    }
    if (start == kStatusRegister && quantity == kStatusCount) {
        return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "状态寄存器 %1")), {Hex4(r(0))});
    }
    // The count is the register's high byte.
    if (start == kEventCountRegister && quantity == 1) {
        return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "事件条数 %1")), {Number(r(0) >> 8)});
    }
    if (start == kDeviceAddressRegister && quantity == 1) {
        return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "设备地址 %1")), {Number(r(0))});
    }
    if (start == kDeviceBaudRegister && quantity == 1) {
        return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "波特率代码 %1 (%2)")),
                      {Number(r(0)), BaudOfCode(r(0))});
    }
    if (start == kDeviceAddressRegister && quantity == kCommParamCount) {
        return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "设备地址 %1, 波特率代码 %2 (%3)")),
                      {Number(r(0)), Number(r(1)), BaudOfCode(r(1))});
    }
    if (start == kStartModeReadRegister && quantity == 1) {
        return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "起动方式 %1")), {Hex4(r(0))});
    }
    if (start == kEventCodeRegister) {
        std::string codes;
        for (uint16_t k = 0; k < quantity; ++k) {
            codes += Format(" %02X %02X", r(k) >> 8, r(k) & 0xFF);
        }
        return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "事件代码:%1")), {codes});
    }
    if (start == kCoefficientRegister && quantity == kCoefficientRegisterCount) {
        std::string values;
        for (uint16_t k = 0; k < quantity; ++k) {
            values += Format(k == 0 ? "%u" : " %u", r(k));
        }
        return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "校准系数 %1")), {values});
    }
    std::string text = ReadName(start, quantity, true) + ":";
    for (uint16_t k = 0; k < quantity && k < 16; ++k) {
        text += Format(" %u", r(k));
    }
    return text;
}

std::string SettingsWriteText(uint16_t start, const std::vector<uint8_t>& frame) {
    const auto b = [&frame](size_t d) { return d + 7 < frame.size() ? frame[d + 7] : uint8_t{0}; };
    const auto w = [&frame](size_t d) { return Word(frame, d + 7); };
    const auto n = [](unsigned value) { return Number(value); };
    const auto tenths = [](unsigned value) { return Format("%.1f", value / kTenthsPerUnit); };
    switch (start) {
        case kCtRatioWriteRegister:
            return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "写定值 0x5453: 电流变比 %1")),
                          {n(w(0))});
        case kBreakingCurrentWriteRegister:
            return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "写定值 0x5462: 分断电流 %1")),
                          {n(w(0))});
        case kCommParamWriteRegister:
            return FillIn(
                Tr(QT_TRANSLATE_NOOP("MotorProtector", "写通讯参数: 地址 %1, 波特率代码 %2 (%3)")),
                {n(w(0)), n(w(2)), BaudOfCode(w(2))});
        case kStartModeWriteRegister:
            return FillIn(
                Tr(QT_TRANSLATE_NOOP("MotorProtector", "写起动方式: 断相时间 %1 s, 起动方式 %2")),
                {tenths(b(0)), n(b(1))});
        case kPhaseAndStartWriteRegister:
            return FillIn(
                Tr(QT_TRANSLATE_NOOP("MotorProtector",
                                     "写定值 0x5454: PWM相序 %1, 断相时间 %2 s, 起动方式 %3")),
                {n(b(1)), tenths(b(2)), n(b(3))});
        case kRatingsWriteRegister:
            return FillIn(
                Tr(QT_TRANSLATE_NOOP("MotorProtector",
                                     "写定值 0x5457: 额定电压 %1 V, 额定电流 %2 A, 起动时间 %3")),
                {n(w(0)), tenths(w(2)), n(w(4))});
        case kVoltageWriteRegister:
            return FillIn(
                Tr(QT_TRANSLATE_NOOP("MotorProtector", "写定值 0x5460: 过压 %1% %2, 欠压 %3% %4")),
                {n(b(0)), n(b(1)), n(b(2)), n(b(3))});
        case kProtectionsWriteRegister:
            return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector",
                                               "写定值 0x545A: 保护投退 %1, 欠压投退 %2, 曲线 %3")),
                          {Hex2(b(0)), n(b(1)), n(b(3))});
        default:
            return FillIn(Tr(kSettingsWrite), {Hex4(start)});
    }
}

std::string PrivateText(const std::vector<uint8_t>& frame) {
    if (frame.size() >= 18 && frame[2] == 0xA5 && frame[3] == 0x5A) {
        const uint16_t word = Word(frame, 4);
        const char* kind = word == kCurrentCalibrationWord ? kCurrentCalibration
                           : word == kVoltageCalibrationWord
                               ? kVoltageCalibration
                               : QT_TRANSLATE_NOOP("MotorProtector", "校准帧");
        std::vector<std::string> values;
        for (size_t k = 0; k < 3; ++k) {
            const size_t at = 7 + 3 * k;
            values.push_back(Format("%.4f", Word(frame, at) / kCoefficientScale));
            values.push_back(std::to_string(static_cast<int8_t>(frame[at + 2])));
        }
        return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector",
                                           "%1 A相 a=%2 b=%3, B相 a=%4 b=%5, C相 a=%6 b=%7")),
                      {Tr(kind), values[0], values[1], values[2], values[3], values[4], values[5]});
    }
    if (frame.size() >= 13 && frame[2] == 0x5A && frame[3] == 0xA5) {
        return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "PWM输出帧 a=%1 b=%2")),
                      {Number(Word(frame, 7)), Number(Word(frame, 9))});
    }
    return Tr(QT_TRANSLATE_NOOP("MotorProtector", "私有命令帧"));
}

const char* const kLateDropped = QT_TRANSLATE_NOOP("MotorProtector", "迟到的应答已丢弃 (%1 字节)");

}  // namespace

std::string CExchangeDecoder::OperationName(const std::vector<uint8_t>& request) {
    return NameOf(request, true);
}

std::string CExchangeDecoder::OperationKey(const std::vector<uint8_t>& request) {
    return NameOf(request, false);
}

std::string CExchangeDecoder::ExceptionMeaning(int code) {
    switch (code) {
        case 1:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "非法功能"));
        case 2:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "非法数据地址"));
        case 3:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "非法数据值"));
        case 4:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "从站设备故障"));
        case 5:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "已确认, 处理中"));
        case 6:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "从站设备忙"));
        case 8:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "存储奇偶差错"));
        case 10:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "网关路径不可用"));
        case 11:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "网关目标设备无响应"));
        default:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "未知异常"));
    }
}

std::string CExchangeDecoder::OutcomeText(ExchangeOutcome outcome) {
    switch (outcome) {
        case ExchangeOutcome::Sent:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "已发送"));
        case ExchangeOutcome::Good:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "正常"));
        case ExchangeOutcome::NoReply:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "无应答"));
        case ExchangeOutcome::BadCrc:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "CRC错误"));
        case ExchangeOutcome::Exception:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "异常应答"));
        case ExchangeOutcome::Invalid:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "无效应答"));
        case ExchangeOutcome::Discarded:
            return Tr(QT_TRANSLATE_NOOP("MotorProtector", "已丢弃"));
    }
    return {};
}

std::string CExchangeDecoder::Hex(const std::vector<uint8_t>& bytes) {
    std::string text;
    for (size_t k = 0; k < bytes.size(); ++k) {
        text += Format(k == 0 ? "%02X" : " %02X", bytes[k]);
    }
    return text;
}

ExchangeSummary CExchangeDecoder::Decode(const ExchangeRecord& record,
                                         const DecodeContext& context) {
    ExchangeSummary s;
    if (record.Type != ExchangeRecord::Kind::Exchange) {
        const bool late = record.Type == ExchangeRecord::Kind::LateDiscard;
        s.Outcome = ExchangeOutcome::Discarded;
        s.Operation = late ? "迟到的应答" : "多余字节";
        s.Text = FillIn(
            late ? Tr(kLateDropped)
                 : Tr(QT_TRANSLATE_NOOP("MotorProtector", "请求前的多余字节已丢弃 (%1 字节)")),
            {std::to_string(record.Dropped)});
        return s;
    }
    const std::vector<uint8_t>& rq = record.Request;
    s.Operation = OperationKey(rq);
    const std::string name = OperationName(rq);
    if (rq.size() < 6) {
        s.Text = name;
        return s;
    }
    const uint8_t function = rq[1];
    const uint16_t start = Word(rq, 2);
    const uint16_t quantity = Word(rq, 4);
    const char* const kCoils = QT_TRANSLATE_NOOP("MotorProtector", "线圈 %1");
    switch (function) {
        case 0x01:
        case 0x02:
        case 0x03:
            s.Range = quantity > 1 ? Format("0x%04X-0x%04X", start, start + quantity - 1)
                                   : Format("0x%04X", start);
            if (function != 0x03) {
                s.Range =
                    FillIn(function == 0x01 ? Tr(kCoils)
                                            : Tr(QT_TRANSLATE_NOOP("MotorProtector", "输入 %1")),
                           {s.Range});
            }
            break;
        case 0x05:
            s.Range = FillIn(Tr(kCoils), {Hex4(start)});
            break;
        case 0x10:
            s.Range = quantity > 1 ? Format("0x%04X-0x%04X", start, start + quantity - 1)
                                   : Format("0x%04X", start);
            break;
        default:
            break;
    }

    if (record.ReplyLength == 0) {
        s.Outcome = ExchangeOutcome::Sent;
        s.Text = function == 0x10   ? SettingsWriteText(start, rq)
                 : function == 0x12 ? PrivateText(rq)
                                    : name;
        return s;
    }
    if (!record.Answered) {
        s.Outcome = ExchangeOutcome::NoReply;
        s.Text = FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "%1: 等待应答")), {name});
        return s;
    }
    const std::vector<uint8_t>& rx = record.Reply;
    std::string late;
    if (record.LateBytes > 0) {
        late = " (" + FillIn(Tr(kLateDropped), {std::to_string(record.LateBytes)}) + ")";
    }
    if (record.Position >= 0 &&
        static_cast<size_t>(record.Position + record.ReplyLength) <= rx.size()) {
        s.Outcome = ExchangeOutcome::Good;
        s.StrayBytes = static_cast<size_t>(record.Position);
        const size_t p = static_cast<size_t>(record.Position);
        if (function == 0x03) {
            const auto reg = [&rx, p](int k) {
                return static_cast<unsigned>(Word(rx, p + 3 + 2 * static_cast<size_t>(k)));
            };
            s.Text = ReadValues(start, quantity, reg, context);
        } else if (function == 0x01) {
            const uint8_t byte = rx[p + 3];
            // The state of one output: closed or open.
            const auto state = [byte](int bit) {
                return Tr(byte & bit ? QT_TRANSLATE_NOOP("MotorProtector", "合")
                                     : QT_TRANSLATE_NOOP("MotorProtector", "分"));
            };
            s.Text =
                FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "输出状态 %1: A %2, B %3, 复位 %4")),
                       {Hex2(byte), state(1), state(2), state(4)});
        } else {
            s.Text =
                FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "开关量输入 %1")), {Hex2(rx[p + 3])});
        }
        if (s.StrayBytes > 0) {
            s.Text += " (" +
                      FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "应答前有 %1 个多余字节")),
                             {std::to_string(s.StrayBytes)}) +
                      ")";
        }
        s.Text += late;
        return s;
    }
    // No reply located: tell why.
    if (rx.empty() || rx.size() == record.LateBytes) {
        s.Outcome = ExchangeOutcome::NoReply;
        s.Text = FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "%1: 无应答")), {name}) + late;
        return s;
    }
    // Judged as the transaction judged it.
    const ReplyCheck check =
        CheckReply(rx.data(), static_cast<int16_t>(std::min<size_t>(rx.size(), 32767)), function,
                   rq[0], static_cast<int16_t>(record.ReplyLength));
    switch (check.Verdict) {
        case ReplyVerdict::Exception:
            s.Outcome = ExchangeOutcome::Exception;
            s.ExceptionCode = check.ExceptionCode;
            s.Text =
                FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "%1: 异常应答 %2 %3")),
                       {name, Format("%02X", s.ExceptionCode), ExceptionMeaning(s.ExceptionCode)}) +
                late;
            return s;
        case ReplyVerdict::BadCrc:
            s.Outcome = ExchangeOutcome::BadCrc;
            s.Text = FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "%1: CRC错误")), {name}) + late;
            return s;
        case ReplyVerdict::Foreign:
            // The device answered another request: it has fallen behind, nothing is taken.
            s.Outcome = ExchangeOutcome::Invalid;
            s.Text = FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector",
                                                 "%1: 应答与请求不符（设备在应答另一个请求）")),
                            {name}) +
                     late;
            return s;
        case ReplyVerdict::Located:
        case ReplyVerdict::NoReply:
            break;
    }
    s.Outcome = ExchangeOutcome::Invalid;
    s.Text = FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "%1: 无效应答 (%2 字节)")),
                    {name, std::to_string(rx.size())}) +
             late;
    return s;
}

}  // namespace mp
