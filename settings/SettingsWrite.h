#pragma once
// Writing the protection settings to the device: validation of the operator's values, the
// six write-multiple-registers frames (one per register group, each written at its read
// register plus 0x5300) and the write operation that sends them in order.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "device/RegisterMap.h"
#include "modbus/DeviceContext.h"
#include "modbus/FrameBuffers.h"
#include "settings/ProtectionSettings.h"

namespace mp {

// Texts the window shows around a write; marked texts (see language/Text.h), shown through
// mp::Tr.
extern const char* const kWriteConfirmQuestion;     // "您确认要修改当前数据吗?" (Yes/No)
extern const char* const kOverVoltageRangeMessage;  // "请在过压动作值范围为105-150"
extern const char* const kWriteDoneMessage;         // "数据写入成功..."
extern const char* const kWriteStatusText;          // "写数据参数值..." (status pane 0)

// Validation messages, in the order they are checked.
extern const char* const kCtRatioRangeMessage;          // "CT超过范围"
extern const char* const kRatedCurrentRangeMessage;     // "额定电流超过范围"
extern const char* const kStartTimeRangeMessage;        // "启动时间超过范围"
extern const char* const kBreakingCurrentRangeMessage;  // "分断电流超出范围"
extern const char* const kCurveNotInListMessage;        // "曲线选择的值不在列表中"
extern const char* const
    kStartModeReadFailedMessage;  // "未能读回设备的起动方式：…" (group left out)
extern const char* const kPhaseNotInListMessage;  // "PWM选择输出的值不在列表中"
extern const char* const kSettingEmptyMessage;    // "%1未填写" (%1 the setting's name)

// "额定电流未填写": the first text field that is empty or only blanks, named; nothing when
// every text field holds something.
std::optional<std::string> EmptySettingRefusal(const ProtectionSettings& s);

// The message of the first value the device must not be given, or nothing when the
// settings may be written: an empty text field (EmptySettingRefusal), CT ratio (atoi) 1 to 999,
// rated current (atof) 0.1 to 999.9, start time (atoi) 0 to 255, breaking current at most 9999, a
// curve and PWM phase that are entries of their lists, then every value a write sends against its
// range in the table of SettingRanges.h (a whole number text, inside its range, fitting its byte or
// word). The message is in the operator's language.
std::optional<std::string> ValidateSettings(const ProtectionSettings& s);

// The over-voltage pick-up the device takes, in percent of the rated voltage: 105 to 150.
bool OverVoltageInRange(int percent);

// A typed number of seconds or multiples as tenths on the wire: atof of the text times 10,
// rounded to the nearest (2.3 is 23, though 2.3 × 10 falls a hair short of it in binary).
// The validation refuses values off the step, so rounding never changes a value meant.
int32_t TenthsOf(const std::string& text);
// A typed number as a whole number on the wire: atof of the text rounded to the nearest.
int32_t WholeOf(const std::string& text);

// The six group frames, built in `tx` from byte 0; each returns the frame length. Wire
// values carry the low 8 (one byte) or 16 (two bytes, high first) bits of their integer.
// Protections (19 bytes): enable byte, under-voltage byte, 0, curve index, locked-rotor
// multiple and time in tenths, definite-time multiple in tenths and time, unbalance percent
// and time in tenths.
int16_t BuildProtectionsFrame(TxBuffer& tx, uint8_t address, const ProtectionSettings& s);
// Breaking current (11 bytes).
int16_t BuildBreakingCurrentFrame(TxBuffer& tx, uint8_t address, const ProtectionSettings& s);
// CT ratio (11 bytes).
int16_t BuildCtRatioFrame(TxBuffer& tx, uint8_t address, const ProtectionSettings& s);
// Phase and start (13 bytes): 0, PWM phase index, phase-loss time in tenths, and the start
// mode as the device reported it (the start mode is set by its own command).
int16_t BuildPhaseAndStartFrame(TxBuffer& tx, uint8_t address, const ProtectionSettings& s,
                                uint8_t startModeByte);
// Ratings (15 bytes): rated voltage, rated current in tenths, start time.
int16_t BuildRatingsFrame(TxBuffer& tx, uint8_t address, const ProtectionSettings& s);
// Voltage protections (13 bytes): over-voltage percent and time, under-voltage percent and
// time.
int16_t BuildVoltageProtectionsFrame(TxBuffer& tx, uint8_t address, const ProtectionSettings& s);

struct SettingsWriteResult {
    // The over-voltage pick-up was outside 105 to 150: the voltage group was not sent and the
    // window shows kOverVoltageRangeMessage before kWriteDoneMessage.
    bool OverVoltageSkipped = false;
    // The device's start mode could not be read back: the phase-and-start group, which must
    // carry it, was not sent rather than overwrite the device's start mode with a guess.
    bool StartModeReadFailed = false;
    // The start mode written back in the phase-and-start group, when it was sent.
    uint8_t StartModeByte = 0;
    // The program closed part way: the groups after that were not sent and nothing is reported.
    bool Stopped = false;
};

// Runs on the I/O worker with settings already validated and confirmed: sends the
// protections, breaking-current, CT-ratio groups, reads back the device's start mode,
// sends the phase-and-start and ratings groups, waits, and sends the voltage group unless
// its over-voltage pick-up is out of range. Each write waits 300 ms; replies are not read.
// Hands the result to `done` on the window thread, and returns it to the worker.
SettingsWriteResult WriteSettings(CDeviceContext& ctx, ProtectionSettings snapshot,
                                  std::function<void(SettingsWriteResult)> done);

}  // namespace mp
