#include "events/EventRecords.h"

#include <chrono>

namespace mp {

std::string FaultText(int code) {
    switch (code) {
        case 1:
            return QT_TRANSLATE_NOOP("MotorProtector", "C1接触器吸合失败(E01)");
        case 2:
            return QT_TRANSLATE_NOOP("MotorProtector", "C2接触器吸合失败(E02)");
        case 3:
            return QT_TRANSLATE_NOOP("MotorProtector", "接触器未断开(E03)");
        case 4:
            return QT_TRANSLATE_NOOP("MotorProtector", "启动超时(E04)");
        case 5:
            return QT_TRANSLATE_NOOP("MotorProtector", "短路故障(E05)");
        case 6:
            return QT_TRANSLATE_NOOP("MotorProtector", "堵转故障(E06)");
        case 7:
            return QT_TRANSLATE_NOOP("MotorProtector", "缺相保护(E07)");
        case 8:
            return QT_TRANSLATE_NOOP("MotorProtector", "三相不平衡故障(E08)");
        case 9:
            return QT_TRANSLATE_NOOP("MotorProtector", "定时限过载保护(E09)");
        case 10:
            return QT_TRANSLATE_NOOP("MotorProtector", "反时限过载保护(E10)");
        case 11:
            return QT_TRANSLATE_NOOP("MotorProtector", "外部故障(E11)");
        case 13:
            return QT_TRANSLATE_NOOP("MotorProtector", "运行过程中断路器断开故障(E13)");
        case 14:
            return QT_TRANSLATE_NOOP("MotorProtector", "EEPROM 出错(E14)");
        case 16:
            return QT_TRANSLATE_NOOP("MotorProtector", "过压(E16)");
        case 17:
            return QT_TRANSLATE_NOOP("MotorProtector", "欠压(E17)");
        default:
            return {};
    }
}

namespace {

const char* const kNoEventsText = QT_TRANSLATE_NOOP("MotorProtector", "无告警信息");
const char* const kEventCountPattern = QT_TRANSLATE_NOOP("MotorProtector", "有%1条告警信息");

}  // namespace

std::string EventCountText(int n) {
    if (n == 0) {
        return kNoEventsText;
    }
    if (n >= 1 && n <= kMaxEvents) {
        return FillIn(kEventCountPattern, {std::to_string(n)});
    }
    return {};
}

std::string ShownSummary(const EventRecordTexts& texts) {
    if (texts.Count >= 1 && texts.Count <= kMaxEvents) {
        return FillIn(Tr(kEventCountPattern), {std::to_string(texts.Count)});
    }
    return Tr(texts.Summary.c_str());
}

std::string ShownEvent(const EventRecordTexts& texts, size_t k) {
    return k < texts.Events.size() ? Tr(texts.Events[k].c_str()) : std::string();
}

EventRecordTexts DecodeEventRecords(int n, const uint8_t* rx) {
    EventRecordTexts texts;
    texts.Summary = EventCountText(n);
    if (n < 1 || n > kMaxEvents) {
        return texts;
    }
    texts.Count = n;
    for (int k = 1; k <= n; ++k) {
        texts.Codes[static_cast<size_t>(k - 1)] = rx[k + 2];
        texts.Events[static_cast<size_t>(k - 1)] = FaultText(rx[k + 2]);
    }
    return texts;
}

std::optional<EventRecordTexts> FetchEventRecords(CDeviceContext& ctx) {
    std::optional<EventRecordTexts> texts;
    // A close between the two reads ends the read: the codes are not asked for.
    if (ctx.Link.ReadHoldingRegisters(kEventCountRegister, 1) && !ctx.Stopped()) {
        const int n = ctx.Link.Rx()[3];
        const bool codes = n >= 1 && n <= kMaxEvents;
        if (!codes ||
            ctx.Link.ReadHoldingRegisters(kEventCodeRegister, static_cast<uint16_t>((n + 1) / 2))) {
            texts = DecodeEventRecords(n, ctx.Link.Rx().data());
        }
    }
    if (texts) {
        texts->Address = ctx.Link.SlaveAddress();
        texts->ReadAtMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::system_clock::now().time_since_epoch())
                              .count();
    }
    return texts;
}

void ReadEventRecords(CDeviceContext& ctx,
                      std::function<void(std::optional<EventRecordTexts>)> done) {
    std::optional<EventRecordTexts> texts = FetchEventRecords(ctx);
    if (done) {
        ctx.Post([done = std::move(done), texts = std::move(texts)] { done(texts); });
    }
}

}  // namespace mp
