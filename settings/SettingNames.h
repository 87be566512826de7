#pragma once
// The names by which the tool tells the operator about one setting: in a refused value and in
// a write the device did not keep. They are the Chinese source texts (also the keys the
// write's read-back compares by); a message shows one through mp::Tr.

#include <array>

#include "language/Text.h"
#include "settings/ProtectionSettings.h"

namespace mp {

inline constexpr char kCtRatioName[] = QT_TRANSLATE_NOOP("MotorProtector", "电流变比");
inline constexpr char kRatedCurrentName[] = QT_TRANSLATE_NOOP("MotorProtector", "额定电流");
inline constexpr char kRatedVoltageName[] = QT_TRANSLATE_NOOP("MotorProtector", "额定电压");
inline constexpr char kStartTimeName[] = QT_TRANSLATE_NOOP("MotorProtector", "启动时间");
inline constexpr char kStartModeName[] = QT_TRANSLATE_NOOP("MotorProtector", "起动方式");
inline constexpr char kLockedRotorMultipleName[] =
    QT_TRANSLATE_NOOP("MotorProtector", "堵转动作倍数");
inline constexpr char kLockedRotorTimeName[] = QT_TRANSLATE_NOOP("MotorProtector", "堵转动作时间");
inline constexpr char kDefiniteTimeMultipleName[] =
    QT_TRANSLATE_NOOP("MotorProtector", "定时限过负荷动作倍数");
inline constexpr char kDefiniteTimeTimeName[] =
    QT_TRANSLATE_NOOP("MotorProtector", "定时限过负荷动作时间");
inline constexpr char kUnbalancePercentName[] = QT_TRANSLATE_NOOP("MotorProtector", "不平衡动作值");
inline constexpr char kUnbalanceTimeName[] = QT_TRANSLATE_NOOP("MotorProtector", "不平衡动作时间");
inline constexpr char kCurveSelectionName[] = QT_TRANSLATE_NOOP("MotorProtector", "曲线选择");
inline constexpr char kPhaseLossTimeName[] = QT_TRANSLATE_NOOP("MotorProtector", "缺相时间");
inline constexpr char kPwmPhaseName[] = QT_TRANSLATE_NOOP("MotorProtector", "PWM选择输出");
inline constexpr char kBreakingCurrentName[] =
    QT_TRANSLATE_NOOP("MotorProtector", "交流接触器允许分断电流");
inline constexpr char kOverVoltagePercentName[] = QT_TRANSLATE_NOOP("MotorProtector", "过压动作值");
inline constexpr char kOverVoltageTimeName[] = QT_TRANSLATE_NOOP("MotorProtector", "过压动作时间");
inline constexpr char kUnderVoltagePercentName[] =
    QT_TRANSLATE_NOOP("MotorProtector", "欠压动作值");
inline constexpr char kUnderVoltageTimeName[] = QT_TRANSLATE_NOOP("MotorProtector", "欠压动作时间");

// The captions of the nine protection check boxes, indexed by Protection.
inline constexpr std::array<const char*, kProtectionCount> kProtectionNames = {
    QT_TRANSLATE_NOOP("MotorProtector", "短路保护"),
    QT_TRANSLATE_NOOP("MotorProtector", "堵转保护"),
    QT_TRANSLATE_NOOP("MotorProtector", "定时限过负荷"),
    QT_TRANSLATE_NOOP("MotorProtector", "不平衡"),
    QT_TRANSLATE_NOOP("MotorProtector", "反时限过负荷"),
    QT_TRANSLATE_NOOP("MotorProtector", "启动超时"),
    QT_TRANSLATE_NOOP("MotorProtector", "缺相保护"),
    QT_TRANSLATE_NOOP("MotorProtector", "过压保护"),
    QT_TRANSLATE_NOOP("MotorProtector", "欠压保护"),
};

}  // namespace mp
