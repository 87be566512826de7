#include "diagnostics/ExchangeDecoder.h"

#include <cstdarg>
#include <cstdio>

#include "modbus/ModbusCrc16.h"

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

bool CrcHolds(const uint8_t* frame, size_t n) {
    if (n < 4) {
        return false;
    }
    const uint16_t crc = ModbusCrc16(frame, static_cast<int16_t>(n - 2));
    return frame[n - 2] == (crc >> 8) && frame[n - 1] == (crc & 0xFF);
}

std::string BaudOfCode(int code) {
    static const char* const rates[] = {"1200", "2400", "4800", "9600", "19200"};
    return code >= 0 && code < 5 ? rates[code] : "?";
}

// Name of a 0x03 read by its start and quantity.
std::string ReadName(uint16_t start, uint16_t quantity) {
    if (start == 0x0106 && quantity == 3) return "读A/B/C相电流";
    if (start == 0x0103 && quantity == 3) return "读A/B/C相电压";
    if (start == 0x011B && quantity == 1) return "读状态寄存器";
    if (start == 0x0150 && quantity == 16) return "读定值 A段";
    if (start == 0x0154 && quantity == 4) return "读定值 B段";
    if (start == 0x0160 && quantity == 3) return "读定值 C段";
    if (start == 0x0155 && quantity == 1) return "读起动方式";
    if (start == 0x0124 && quantity == 1) return "读事件条数";
    if (start == 0x0120) return "读事件代码";
    if (start == 0x0148 && quantity == 7) return "读校准系数";
    if (start == 0x0150 && quantity == 1) return "读设备地址";
    if (start == 0x0151 && quantity == 1) return "读波特率代码";
    if (start == 0x0150 && quantity == 2) return "读地址与波特率";
    return Format("读寄存器 0x%04X", start);
}

std::string WriteName(uint16_t start) {
    switch (start) {
        case 0x5450:
            return "写通讯参数";
        case 0x5455:
            return "写起动方式";
        default:
            return Format("写定值 0x%04X", start);
    }
}

std::string CoilName(uint16_t coil, bool on) {
    switch (coil) {
        case 0:
            return on ? "闭合输出A" : "断开输出A";
        case 1:
            return on ? "闭合输出B" : "断开输出B";
        case 2:
            return on ? "复位输出 置位" : "复位输出";
        default:
            return Format("写线圈 0x%04X", coil);
    }
}

// What a located 0x03 reply says; `r` gives register k.
template <typename Reg>
std::string ReadValues(uint16_t start, uint16_t quantity, const Reg& r,
                       const DecodeContext& context) {
    if (start == 0x0106 && quantity == 3) {
        if (context.CtRatio <= 0) {
            return Format("读A/B/C相电流: 原始值 %u / %u / %u", r(0), r(1), r(2));
        }
        const double k = context.CtRatio * 0.001;
        return Format("读A/B/C相电流: %.2f / %.2f / %.2f A", r(0) * k, r(1) * k, r(2) * k);
    }
    if (start == 0x0103 && quantity == 3) {
        return Format("读A/B/C相电压: %.1f / %.1f / %.1f V", r(0) * 0.1, r(1) * 0.1, r(2) * 0.1);
    }
    if (start == 0x011B && quantity == 1) return Format("状态寄存器 0x%04X", r(0));
    // The count is the register's high byte.
    if (start == 0x0124 && quantity == 1) return Format("事件条数 %u", r(0) >> 8);
    if (start == 0x0150 && quantity == 1) return Format("设备地址 %u", r(0));
    if (start == 0x0151 && quantity == 1) {
        return Format("波特率代码 %u (%s)", r(0), BaudOfCode(r(0)).c_str());
    }
    if (start == 0x0150 && quantity == 2) {
        return Format("设备地址 %u, 波特率代码 %u (%s)", r(0), r(1), BaudOfCode(r(1)).c_str());
    }
    if (start == 0x0155 && quantity == 1) return Format("起动方式 0x%04X", r(0));
    if (start == 0x0120) {
        std::string text = "事件代码:";
        for (uint16_t k = 0; k < quantity; ++k) {
            text += Format(" %02X %02X", r(k) >> 8, r(k) & 0xFF);
        }
        return text;
    }
    if (start == 0x0148 && quantity == 7) {
        return Format("校准系数 %u %u %u %u %u %u %u", r(0), r(1), r(2), r(3), r(4), r(5), r(6));
    }
    std::string text = ReadName(start, quantity) + ":";
    for (uint16_t k = 0; k < quantity && k < 16; ++k) {
        text += Format(" %u", r(k));
    }
    return text;
}

std::string SettingsWriteText(uint16_t start, const std::vector<uint8_t>& frame) {
    const auto b = [&frame](size_t d) { return d + 7 < frame.size() ? frame[d + 7] : uint8_t{0}; };
    const auto w = [&frame](size_t d) { return Word(frame, d + 7); };
    switch (start) {
        case 0x5453:
            return Format("写定值 0x5453: 电流变比 %u", w(0));
        case 0x5462:
            return Format("写定值 0x5462: 分断电流 %u", w(0));
        case 0x5450:
            return Format("写通讯参数: 地址 %u, 波特率代码 %u (%s)", w(0), w(2),
                          BaudOfCode(w(2)).c_str());
        case 0x5455:
            return Format("写起动方式: 断相时间 %.1f s, 起动方式 %u", b(0) / 10.0, b(1));
        case 0x5454:
            return Format("写定值 0x5454: PWM相序 %u, 断相时间 %.1f s, 起动方式 %u", b(1),
                          b(2) / 10.0, b(3));
        case 0x5457:
            return Format("写定值 0x5457: 额定电压 %u V, 额定电流 %.1f A, 起动时间 %u", w(0),
                          w(2) / 10.0, w(4));
        case 0x5460:
            return Format("写定值 0x5460: 过压 %u%% %u, 欠压 %u%% %u", b(0), b(1), b(2), b(3));
        case 0x545A:
            return Format("写定值 0x545A: 保护投退 0x%02X, 欠压投退 %u, 曲线 %u", b(0), b(1), b(3));
        default:
            return Format("写定值 0x%04X", start);
    }
}

std::string PrivateText(const std::vector<uint8_t>& frame) {
    if (frame.size() >= 18 && frame[2] == 0xA5 && frame[3] == 0x5A) {
        const uint16_t word = Word(frame, 4);
        std::string text = word == 0x2710 ? "电流校准帧" : word == 0x00DC ? "电压校准帧" : "校准帧";
        static const char* const phases[] = {"A相", "B相", "C相"};
        for (size_t k = 0; k < 3; ++k) {
            const size_t at = 7 + 3 * k;
            text += Format("%s %s a=%.4f b=%d", k == 0 ? "" : ",", phases[k],
                           Word(frame, at) / 10000.0, static_cast<int8_t>(frame[at + 2]));
        }
        return text;
    }
    if (frame.size() >= 13 && frame[2] == 0x5A && frame[3] == 0xA5) {
        return Format("PWM输出帧 a=%u b=%u", Word(frame, 7), Word(frame, 9));
    }
    return "私有命令帧";
}

}  // namespace

std::string CExchangeDecoder::OperationName(const std::vector<uint8_t>& request) {
    if (request.size() < 2) {
        return "未知帧";
    }
    const uint16_t start = Word(request, 2);
    const uint16_t second = Word(request, 4);
    switch (request[1]) {
        case 0x01:
            return "读输出状态";
        case 0x02:
            return "读开关量输入";
        case 0x03:
            return ReadName(start, second);
        case 0x05:
            return CoilName(start, second == 0xFF00);
        case 0x10:
            return WriteName(start);
        case 0x12:
            if (request.size() >= 18) {
                return Word(request, 4) == 0x00DC ? "电压校准帧" : "电流校准帧";
            }
            return "PWM输出帧";
        default:
            return Format("功能码 %02X", request[1]);
    }
}

std::string CExchangeDecoder::ExceptionMeaning(int code) {
    switch (code) {
        case 1:
            return "非法功能";
        case 2:
            return "非法数据地址";
        case 3:
            return "非法数据值";
        case 4:
            return "从站设备故障";
        case 5:
            return "已确认, 处理中";
        case 6:
            return "从站设备忙";
        case 8:
            return "存储奇偶差错";
        case 10:
            return "网关路径不可用";
        case 11:
            return "网关目标设备无响应";
        default:
            return "未知异常";
    }
}

const char* CExchangeDecoder::OutcomeText(ExchangeOutcome outcome) {
    switch (outcome) {
        case ExchangeOutcome::Sent:
            return "已发送";
        case ExchangeOutcome::Good:
            return "正常";
        case ExchangeOutcome::NoReply:
            return "无应答";
        case ExchangeOutcome::BadCrc:
            return "CRC错误";
        case ExchangeOutcome::Exception:
            return "异常应答";
        case ExchangeOutcome::Invalid:
            return "无效应答";
        case ExchangeOutcome::Discarded:
            return "已丢弃";
    }
    return "";
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
        s.Outcome = ExchangeOutcome::Discarded;
        s.Operation = record.Type == ExchangeRecord::Kind::LateDiscard ? "迟到的应答" : "多余字节";
        s.Text = Format(record.Type == ExchangeRecord::Kind::LateDiscard
                            ? "迟到的应答已丢弃 (%zu 字节)"
                            : "请求前的多余字节已丢弃 (%zu 字节)",
                        record.Dropped);
        return s;
    }
    const std::vector<uint8_t>& rq = record.Request;
    s.Operation = OperationName(rq);
    if (rq.size() < 6) {
        s.Text = s.Operation;
        return s;
    }
    const uint8_t function = rq[1];
    const uint16_t start = Word(rq, 2);
    const uint16_t quantity = Word(rq, 4);
    switch (function) {
        case 0x01:
        case 0x02:
        case 0x03:
            s.Range = quantity > 1 ? Format("0x%04X-0x%04X", start, start + quantity - 1)
                                   : Format("0x%04X", start);
            if (function != 0x03) s.Range = (function == 0x01 ? "线圈 " : "输入 ") + s.Range;
            break;
        case 0x05:
            s.Range = Format("线圈 0x%04X", start);
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
                                    : s.Operation;
        return s;
    }
    if (!record.Answered) {
        s.Outcome = ExchangeOutcome::NoReply;
        s.Text = s.Operation + ": 等待应答";
        return s;
    }
    const std::vector<uint8_t>& rx = record.Reply;
    std::string late;
    if (record.LateBytes > 0) {
        late = Format(" (迟到的应答已丢弃 (%zu 字节))", record.LateBytes);
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
        } else {
            const uint8_t byte = rx[p + 3];
            s.Text = function == 0x01 ? Format("输出状态 0x%02X: A %s, B %s, 复位 %s", byte,
                                               byte & 1 ? "合" : "分", byte & 2 ? "合" : "分",
                                               byte & 4 ? "合" : "分")
                                      : Format("开关量输入 0x%02X", byte);
        }
        if (s.StrayBytes > 0) {
            s.Text += Format(" (应答前有 %zu 个多余字节)", s.StrayBytes);
        }
        s.Text += late;
        return s;
    }
    // No reply located: tell why.
    if (rx.empty() || rx.size() == record.LateBytes) {
        s.Outcome = ExchangeOutcome::NoReply;
        s.Text = s.Operation + ": 无应答" + late;
        return s;
    }
    const uint8_t address = rq[0];
    for (size_t p = 0; p + 5 <= rx.size(); ++p) {
        if (rx[p] == address && rx[p + 1] == (function | 0x80) && CrcHolds(&rx[p], 5)) {
            s.Outcome = ExchangeOutcome::Exception;
            s.ExceptionCode = rx[p + 2];
            s.Text = Format("%s: 异常应答 %02X %s", s.Operation.c_str(), s.ExceptionCode,
                            ExceptionMeaning(s.ExceptionCode).c_str()) +
                     late;
            return s;
        }
    }
    const size_t length = static_cast<size_t>(record.ReplyLength);
    for (size_t p = 0; p + length <= rx.size(); ++p) {
        if (rx[p] == address && rx[p + 1] == function && !CrcHolds(&rx[p], length)) {
            s.Outcome = ExchangeOutcome::BadCrc;
            s.Text = s.Operation + ": CRC错误" + late;
            return s;
        }
    }
    s.Outcome = ExchangeOutcome::Invalid;
    s.Text = Format("%s: 无效应答 (%zu 字节)", s.Operation.c_str(), rx.size()) + late;
    return s;
}

}  // namespace mp
