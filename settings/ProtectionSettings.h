#pragma once
// The protection settings as the main window holds them: texts as shown in their fields,
// integers for the integer fields, and the nine protection check boxes.

#include <array>
#include <string>

namespace mp {

// The nine protection check boxes.
enum Protection : int {
    kShortCircuit = 0,  // "短路保护"
    kLockedRotor,       // "堵转保护"
    kDefiniteTime,      // "定时限过负荷"
    kUnbalance,         // "不平衡"
    kInverseTime,       // "反时限过负荷"
    kStartTimeout,      // "启动超时"
    kPhaseLoss,         // "缺相保护"
    kOverVoltage,       // "过压保护"
    kUnderVoltage,      // "欠压保护"
    kProtectionCount
};

struct ProtectionSettings {
    std::string CtRatio;        // "电流变比"
    std::string RatedCurrent;   // "额定电流", A
    std::string RatedVoltage;   // "额定电压", V
    std::string StartTime;      // "启动时间", s
    std::string StartModeText;  // "起动方式" (read-only display)
    std::string LockedRotorMultiple;
    std::string LockedRotorTime;
    std::string DefiniteTimeMultiple;
    std::string DefiniteTimeTime;
    std::string UnbalancePercent;
    std::string UnbalanceTime;
    std::string CurveSelection;  // "曲线选择", a text of the curve list
    std::string PhaseLossTime;   // "缺相时间", s
    std::string PwmPhase;        // "PWM选择输出", a text of the phase list
    int BreakingCurrent = 0;     // "交流接触器允许分断电流"
    int OverVoltagePercent = 0;
    int OverVoltageTime = 0;
    int UnderVoltagePercent = 0;
    int UnderVoltageTime = 0;
    std::array<bool, kProtectionCount> Enabled{};  // check states, indexed by Protection
};

}  // namespace mp
