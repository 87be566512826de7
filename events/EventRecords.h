#pragma once
// The device's stored alarm events: the fault texts of their codes, the summary line, and the
// read of the event count and codes.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "device/RegisterMap.h"
#include "events/EventRecordTexts.h"
#include "language/Text.h"
#include "modbus/DeviceContext.h"

namespace mp {

inline constexpr int kMaxEvents = 8;

// Text of a fault code; empty for 0, 12, 15 and codes above 17. The Chinese text (a marked
// text, language/Text.h): EventRecordTexts keeps the texts as the device's events, in one
// language whatever the window shows.
std::string FaultText(int code);

// "无告警信息" for 0, "有n条告警信息" for 1 to 8, empty otherwise; in Chinese, as FaultText.
std::string EventCountText(int n);

// The summary line and event k (0 to 7) of `texts` in the operator's language, for showing.
std::string ShownSummary(const EventRecordTexts& texts);
std::string ShownEvent(const EventRecordTexts& texts, size_t k);

// The texts and codes of n events whose codes are in a 0x03 response starting at rx[0]
// (event k's code at rx[k + 2]). For n above 8 every text is empty and rx is not read.
EventRecordTexts DecodeEventRecords(int n, const uint8_t* rx);

// Said instead of the event window when the device did not answer.
inline constexpr char kEventsNoReplyText[] =
    QT_TRANSLATE_NOOP("MotorProtector", "设备无应答，未能读取告警事件记录");

// Reads the event count and, for 1 to 8 events, the registers that hold their codes, and
// gives the texts, the device address and the time of reading, on the I/O worker. When either
// read finds no reply it gives nothing: a device that said nothing has neither "no alarms"
// nor empty events. A stop between the two reads ends it with nothing.
std::optional<EventRecordTexts> FetchEventRecords(CDeviceContext& ctx);

// The same read, posting its result to `done` on the window thread.
void ReadEventRecords(CDeviceContext& ctx,
                      std::function<void(std::optional<EventRecordTexts>)> done);

}  // namespace mp
