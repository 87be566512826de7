#include "settings/SettingRanges.h"

#include <cmath>

#include "language/Text.h"
#include "settings/NumberText.h"
#include "settings/SettingNames.h"
#include "settings/SettingsEditing.h"
#include "settings/SettingsWrite.h"

namespace mp {
namespace {

using S = ProtectionSettings;
constexpr Protection kAlways = kProtectionCount;
constexpr bool kWord = true;
constexpr bool kByte = false;

SettingRange Typed(const char* name, std::string S::*text, double minimum, double maximum,
                   int decimals, int scale, bool word, Protection box = kAlways) {
    return {name, text, nullptr, minimum, maximum, decimals, scale, word, box, nullptr};
}

SettingRange Whole(const char* name, int S::*number, int minimum, int maximum, bool word,
                   Protection box, const char* outOfRange = nullptr) {
    return {name, nullptr, number, double(minimum), double(maximum), 0, 1, word, box, outOfRange};
}

// A setting with an up/down control takes the control's range.
SettingRange Stepped(const char* name, std::string S::*text, StepField field, Protection box) {
    const StepRule rule = StepRuleOf(field);
    return Typed(name, text, rule.Minimum, rule.Maximum, rule.Whole ? 0 : 1, rule.Whole ? 1 : 10,
                 kByte, box);
}

std::vector<SettingRange> BuildTable() {
    return {
        // Protections group: pick-ups and times of the current protections, one byte each.
        Stepped(kLockedRotorMultipleName, &S::LockedRotorMultiple, StepField::LockedRotorMultiple,
                kLockedRotor),
        Stepped(kLockedRotorTimeName, &S::LockedRotorTime, StepField::LockedRotorTime,
                kLockedRotor),
        Stepped(kDefiniteTimeMultipleName, &S::DefiniteTimeMultiple,
                StepField::DefiniteTimeMultiple, kDefiniteTime),
        Stepped(kDefiniteTimeTimeName, &S::DefiniteTimeTime, StepField::DefiniteTimeTime,
                kDefiniteTime),
        Stepped(kUnbalancePercentName, &S::UnbalancePercent, StepField::UnbalancePercent,
                kUnbalance),
        Stepped(kUnbalanceTimeName, &S::UnbalanceTime, StepField::UnbalanceTime, kUnbalance),
        // Breaking current: the write's own limit, 9999 A, and no negative current.
        Whole(kBreakingCurrentName, &S::BreakingCurrent, 0, 9999, kWord, kAlways),
        // CT ratio, rated current and start time: the write's first checks.
        Typed(kCtRatioName, &S::CtRatio, 1, 999, 0, 1, kWord),
        // Phase-loss time in tenths of a second in one byte, as the other protection times.
        Typed(kPhaseLossTimeName, &S::PhaseLossTime, 0.1, 25.5, 1, 10, kByte, kPhaseLoss),
        // The device measures phase voltages in tenths of a volt in one register (at most
        // 6553.5 V), so no larger rated voltage can be protected.
        Typed(kRatedVoltageName, &S::RatedVoltage, 1, 6553, 0, 1, kWord),
        Typed(kRatedCurrentName, &S::RatedCurrent, 0.1, 999.9, 1, 10, kWord),
        Typed(kStartTimeName, &S::StartTime, 0, 255, 0, 1, kWord),
        // Voltage protections, one byte each: over-voltage 105 % to 150 % of the rated voltage,
        // under-voltage as far below it (50 % to 95 %), delays in whole seconds as the
        // definite-time overload's. The over-voltage pick-up keeps the message the write has
        // always given for it.
        Whole(kOverVoltagePercentName, &S::OverVoltagePercent, 105, 150, kByte, kOverVoltage,
              kOverVoltageRangeMessage),
        Whole(kOverVoltageTimeName, &S::OverVoltageTime, 1, 255, kByte, kOverVoltage),
        Whole(kUnderVoltagePercentName, &S::UnderVoltagePercent, 50, 95, kByte, kUnderVoltage),
        Whole(kUnderVoltageTimeName, &S::UnderVoltageTime, 1, 255, kByte, kUnderVoltage),
    };
}

std::string Refusal(const SettingRange& range) {
    if (range.OutOfRangeText != nullptr) {
        return Tr(range.OutOfRangeText);
    }
    return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "%1超出范围（%2）")),
                  {Tr(range.Name), RangeText(range)});
}

// The field's value as the operator sees it.
std::string ValueText(const SettingRange& range, const ProtectionSettings& s) {
    return range.Text != nullptr ? s.*range.Text : FormatInt(s.*range.Number);
}

}  // namespace

std::string StepText(const SettingRange& range) {
    return range.Scale > 1 ? FormatFixed(1.0 / range.Scale, range.Decimals) : std::string("1");
}

const std::vector<SettingRange>& SettingRanges() {
    static const std::vector<SettingRange> table = BuildTable();
    return table;
}

std::string RangeText(const SettingRange& range) {
    const std::string minimum = FormatFixed(range.Minimum, range.Decimals);
    const std::string maximum = FormatFixed(range.Maximum, range.Decimals);
    if (range.ClearedBox != kAlways) {
        return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "%1-%2，未投入时可为0")),
                      {minimum, maximum});
    }
    return minimum + "-" + maximum;
}

std::optional<std::string> CheckSettingRange(const SettingRange& range,
                                             const ProtectionSettings& s) {
    double value = 0;
    if (range.Text != nullptr) {
        const std::optional<double> number = WholeTextNumber(s.*range.Text);
        if (!number) {
            return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "%1的值“%2”不是数字（范围%3）")),
                          {Tr(range.Name), s.*range.Text, RangeText(range)});
        }
        value = *number;
    } else {
        value = s.*range.Number;
    }
    if (range.ClearedBox != kAlways && !s.Enabled[range.ClearedBox] && value == 0) {
        return std::nullopt;
    }
    if (!(value >= range.Minimum && value <= range.Maximum)) {
        return Refusal(range);
    }
    // A value between two steps of the device would be stored as another value than the
    // one shown: refused naming the step, never rounded away unseen.
    const double scaled = value * range.Scale;
    const double nearest = std::floor(scaled + 0.5);
    if (std::fabs(scaled - nearest) > 1e-6) {
        return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector",
                                           "%1的值“%2”不是设备可存的值：步长为%3（范围%4）")),
                      {Tr(range.Name), ValueText(range, s), StepText(range), RangeText(range)});
    }
    // Whatever the range, a value whose wire form would lose bits is never sent.
    const auto wire = static_cast<int64_t>(nearest);
    if (wire < 0 || wire > (range.Word ? 0xFFFF : 0xFF)) {
        return Refusal(range);
    }
    return std::nullopt;
}

std::optional<std::string> CheckSettingRanges(const ProtectionSettings& s) {
    for (const SettingRange& range : SettingRanges()) {
        if (auto refusal = CheckSettingRange(range, s)) {
            return refusal;
        }
    }
    return std::nullopt;
}

const SettingRange* FindSettingRange(const char* name) {
    for (const SettingRange& range : SettingRanges()) {
        if (std::string(range.Name) == name) {
            return &range;
        }
    }
    return nullptr;
}

}  // namespace mp
