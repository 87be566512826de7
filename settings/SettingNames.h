#pragma once
// The names by which the tool tells the operator about one setting: in a refused value and in
// a write the device did not keep.

#include <array>

#include "settings/ProtectionSettings.h"

namespace mp {

inline constexpr char kCtRatioName[] = "电流变比";
inline constexpr char kRatedCurrentName[] = "额定电流";
inline constexpr char kRatedVoltageName[] = "额定电压";
inline constexpr char kStartTimeName[] = "启动时间";
inline constexpr char kStartModeName[] = "起动方式";
inline constexpr char kLockedRotorMultipleName[] = "堵转动作倍数";
inline constexpr char kLockedRotorTimeName[] = "堵转动作时间";
inline constexpr char kDefiniteTimeMultipleName[] = "定时限过负荷动作倍数";
inline constexpr char kDefiniteTimeTimeName[] = "定时限过负荷动作时间";
inline constexpr char kUnbalancePercentName[] = "不平衡动作值";
inline constexpr char kUnbalanceTimeName[] = "不平衡动作时间";
inline constexpr char kCurveSelectionName[] = "曲线选择";
inline constexpr char kPhaseLossTimeName[] = "缺相时间";
inline constexpr char kPwmPhaseName[] = "PWM选择输出";
inline constexpr char kBreakingCurrentName[] = "交流接触器允许分断电流";
inline constexpr char kOverVoltagePercentName[] = "过压动作值";
inline constexpr char kOverVoltageTimeName[] = "过压动作时间";
inline constexpr char kUnderVoltagePercentName[] = "欠压动作值";
inline constexpr char kUnderVoltageTimeName[] = "欠压动作时间";

// The captions of the nine protection check boxes, indexed by Protection.
inline constexpr std::array<const char*, kProtectionCount> kProtectionNames = {
    "短路保护", "堵转保护", "定时限过负荷", "不平衡",   "反时限过负荷",
    "启动超时", "缺相保护", "过压保护",     "欠压保护",
};

}  // namespace mp
