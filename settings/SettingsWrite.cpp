#include "settings/SettingsWrite.h"

#include <array>
#include <cmath>
#include <utility>

#include "device/Scaling.h"
#include "language/Text.h"
#include "modbus/RequestBuilder.h"
#include "settings/NumberText.h"
#include "settings/SettingNames.h"
#include "settings/SettingRanges.h"
#include "settings/SettingsLists.h"

namespace mp {

const char* const kWriteConfirmQuestion =
    QT_TRANSLATE_NOOP("MotorProtector", "您确认要修改当前数据吗?");
const char* const kOverVoltageRangeMessage =
    QT_TRANSLATE_NOOP("MotorProtector", "请在过压动作值范围为105-150");
const char* const kWriteDoneMessage = QT_TRANSLATE_NOOP("MotorProtector", "数据写入成功...");
const char* const kWriteStatusText = QT_TRANSLATE_NOOP("MotorProtector", "写数据参数值...");

const char* const kCtRatioRangeMessage = QT_TRANSLATE_NOOP("MotorProtector", "CT超过范围");
const char* const kRatedCurrentRangeMessage =
    QT_TRANSLATE_NOOP("MotorProtector", "额定电流超过范围");
const char* const kStartTimeRangeMessage = QT_TRANSLATE_NOOP("MotorProtector", "启动时间超过范围");
const char* const kBreakingCurrentRangeMessage =
    QT_TRANSLATE_NOOP("MotorProtector", "分断电流超出范围");
const char* const kCurveNotInListMessage =
    QT_TRANSLATE_NOOP("MotorProtector", "曲线选择的值不在列表中");
const char* const kPhaseNotInListMessage =
    QT_TRANSLATE_NOOP("MotorProtector", "PWM选择输出的值不在列表中");
const char* const kStartModeReadFailedMessage = QT_TRANSLATE_NOOP(
    "MotorProtector", "未能读回设备的起动方式：缺相时间和PWM选择输出未写入，其余参数已写入");
const char* const kSettingEmptyMessage = QT_TRANSLATE_NOOP("MotorProtector", "%1未填写");

namespace {

constexpr uint32_t kGroupWaitMs = 300;
constexpr uint32_t kAfterReadBackWaitMs = 100;

uint8_t Low8(int32_t value) {
    return static_cast<uint8_t>(value & 0xFF);
}
uint8_t High8Of16(int32_t value) {
    return static_cast<uint8_t>((value >> 8) & 0xFF);
}

template <size_t N>
int16_t BuildGroup(TxBuffer& tx, uint8_t address, uint16_t start,
                   const std::array<uint8_t, N>& data) {
    static_assert(N % 2 == 0 && N >= 2 && N <= 10, "a group is 1 to 5 registers");
    return BuildWriteRegisters(tx, address, start, data.data(), static_cast<uint16_t>(N / 2));
}

}  // namespace

std::optional<std::string> EmptySettingRefusal(const ProtectionSettings& s) {
    using S = ProtectionSettings;
    // Every text field the write sends, in the order the window shows them to the operator.
    static const std::pair<const char*, std::string S::*> kTextFields[] = {
        {kCtRatioName, &S::CtRatio},
        {kRatedCurrentName, &S::RatedCurrent},
        {kRatedVoltageName, &S::RatedVoltage},
        {kStartTimeName, &S::StartTime},
        {kLockedRotorMultipleName, &S::LockedRotorMultiple},
        {kLockedRotorTimeName, &S::LockedRotorTime},
        {kDefiniteTimeMultipleName, &S::DefiniteTimeMultiple},
        {kDefiniteTimeTimeName, &S::DefiniteTimeTime},
        {kUnbalancePercentName, &S::UnbalancePercent},
        {kUnbalanceTimeName, &S::UnbalanceTime},
        {kCurveSelectionName, &S::CurveSelection},
        {kPhaseLossTimeName, &S::PhaseLossTime},
        {kPwmPhaseName, &S::PwmPhase},
    };
    for (const auto& [name, field] : kTextFields) {
        const std::string& text = s.*field;
        if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
            return FillIn(Tr(kSettingEmptyMessage), {Tr(name)});
        }
    }
    return std::nullopt;
}

std::optional<std::string> ValidateSettings(const ProtectionSettings& s) {
    // An empty field is named as empty, not as a value out of range.
    if (auto empty = EmptySettingRefusal(s)) {
        return empty;
    }
    // Checked as typed (its whole-number part) and as sent (the truncated decimal number),
    // so that a text such as "1e3" cannot pass as 1 and go out as 1000.
    const int32_t ctRatio = AtoI(s.CtRatio);
    const int32_t ctRatioSent = WholeOf(s.CtRatio);
    if (ctRatio < 1 || ctRatio > 999 || ctRatioSent < 1 || ctRatioSent > 999) {
        return Tr(kCtRatioRangeMessage);
    }
    const double ratedCurrent = AtoF(s.RatedCurrent);
    if (ratedCurrent > 999.9 || !(ratedCurrent >= 0.1)) {
        return Tr(kRatedCurrentRangeMessage);
    }
    const int32_t startTime = AtoI(s.StartTime);
    const int32_t startTimeSent = WholeOf(s.StartTime);
    if (startTime < 0 || startTime > 255 || startTimeSent < 0 || startTimeSent > 255) {
        return Tr(kStartTimeRangeMessage);
    }
    if (s.BreakingCurrent > 9999) {
        return Tr(kBreakingCurrentRangeMessage);
    }
    // The curve and the PWM phase travel as list positions: a text that is no entry has no
    // position to send.
    if (CurveIndex(s.CurveSelection) < 0) {
        return Tr(kCurveNotInListMessage);
    }
    if (PhaseIndex(s.PwmPhase) < 0) {
        return Tr(kPhaseNotInListMessage);
    }
    return CheckSettingRanges(s);
}

bool OverVoltageInRange(int percent) {
    return percent >= 105 && percent <= 150;
}

int32_t TenthsOf(const std::string& text) {
    return TruncateToInt(std::floor(AtoF(text) * kTenthsPerUnit + 0.5));
}

int32_t WholeOf(const std::string& text) {
    return TruncateToInt(std::floor(AtoF(text) + 0.5));
}

int16_t BuildProtectionsFrame(TxBuffer& tx, uint8_t address, const ProtectionSettings& s) {
    const std::array<uint8_t, 10> data = {
        ProtectionEnableByte(s.Enabled),
        UnderVoltageEnableByte(s.Enabled),
        0x00,
        Low8(CurveIndex(s.CurveSelection)),
        Low8(TenthsOf(s.LockedRotorMultiple)),
        Low8(TenthsOf(s.LockedRotorTime)),
        Low8(TenthsOf(s.DefiniteTimeMultiple)),
        Low8(WholeOf(s.DefiniteTimeTime)),
        Low8(WholeOf(s.UnbalancePercent)),
        Low8(TenthsOf(s.UnbalanceTime)),
    };
    return BuildGroup(tx, address, kProtectionsWriteRegister, data);
}

int16_t BuildBreakingCurrentFrame(TxBuffer& tx, uint8_t address, const ProtectionSettings& s) {
    const std::array<uint8_t, 2> data = {High8Of16(s.BreakingCurrent), Low8(s.BreakingCurrent)};
    return BuildGroup(tx, address, kBreakingCurrentWriteRegister, data);
}

int16_t BuildCtRatioFrame(TxBuffer& tx, uint8_t address, const ProtectionSettings& s) {
    const int32_t ctRatio = WholeOf(s.CtRatio);
    const std::array<uint8_t, 2> data = {High8Of16(ctRatio), Low8(ctRatio)};
    return BuildGroup(tx, address, kCtRatioWriteRegister, data);
}

int16_t BuildPhaseAndStartFrame(TxBuffer& tx, uint8_t address, const ProtectionSettings& s,
                                uint8_t startModeByte) {
    const std::array<uint8_t, 4> data = {
        0x00,
        Low8(PhaseIndex(s.PwmPhase)),
        Low8(TenthsOf(s.PhaseLossTime)),
        startModeByte,
    };
    return BuildGroup(tx, address, kPhaseAndStartWriteRegister, data);
}

int16_t BuildRatingsFrame(TxBuffer& tx, uint8_t address, const ProtectionSettings& s) {
    const int32_t ratedVoltage = WholeOf(s.RatedVoltage);
    const int32_t ratedCurrent = TenthsOf(s.RatedCurrent);
    const int32_t startTime = WholeOf(s.StartTime);
    const std::array<uint8_t, 6> data = {
        High8Of16(ratedVoltage), Low8(ratedVoltage),   High8Of16(ratedCurrent),
        Low8(ratedCurrent),      High8Of16(startTime), Low8(startTime),
    };
    return BuildGroup(tx, address, kRatingsWriteRegister, data);
}

int16_t BuildVoltageProtectionsFrame(TxBuffer& tx, uint8_t address, const ProtectionSettings& s) {
    const std::array<uint8_t, 4> data = {
        Low8(s.OverVoltagePercent),
        Low8(s.OverVoltageTime),
        Low8(s.UnderVoltagePercent),
        Low8(s.UnderVoltageTime),
    };
    return BuildGroup(tx, address, kVoltageWriteRegister, data);
}

SettingsWriteResult WriteSettings(CDeviceContext& ctx, ProtectionSettings snapshot,
                                  std::function<void(SettingsWriteResult)> done) {
    CModbusTransaction& link = ctx.Link;
    const uint8_t address = link.SlaveAddress();
    SettingsWriteResult result;
    // A close ends the write between two groups, never inside a frame.
    auto closed = [&ctx, &result] {
        result.Stopped = ctx.Stopped();
        return result.Stopped;
    };

    for (auto build : {&BuildProtectionsFrame, &BuildBreakingCurrentFrame, &BuildCtRatioFrame}) {
        if (closed()) {
            return result;
        }
        link.WriteSequence(build(link.Tx(), address, snapshot), kGroupWaitMs);
    }

    // The start mode shares its register with the phase-loss time; it is set by its own
    // command, so the device's current value is written back unchanged. Without a reply there
    // is no value to write back: the group is left out and the operator told.
    if (closed()) {
        return result;
    }
    if (link.ReadHoldingRegisters(kStartModeReadRegister, 1)) {
        const uint8_t startModeByte = link.Rx()[4];
        result.StartModeByte = startModeByte;
        ctx.Sleep(kAfterReadBackWaitMs);
        if (closed()) {
            return result;
        }
        link.WriteSequence(BuildPhaseAndStartFrame(link.Tx(), address, snapshot, startModeByte),
                           kGroupWaitMs);
    } else {
        result.StartModeReadFailed = true;
        ctx.Sleep(kAfterReadBackWaitMs);
    }

    if (closed()) {
        return result;
    }
    link.WriteSequence(BuildRatingsFrame(link.Tx(), address, snapshot), kGroupWaitMs);
    ctx.Sleep(kGroupWaitMs);

    if (OverVoltageInRange(snapshot.OverVoltagePercent)) {
        if (closed()) {
            return result;
        }
        link.WriteSequence(BuildVoltageProtectionsFrame(link.Tx(), address, snapshot),
                           kGroupWaitMs);
    } else {
        result.OverVoltageSkipped = true;
    }
    if (done) {
        ctx.Post([done, result] { done(result); });
    }
    return result;
}

}  // namespace mp
