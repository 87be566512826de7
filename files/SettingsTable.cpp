#include "files/SettingsTable.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "language/Text.h"
#include "settings/NumberText.h"
#include "settings/SettingsLists.h"
#include "settings/SettingsWrite.h"

namespace mp {
namespace {

using PS = ProtectionSettings;

// Longer texts are no settings anyone types, and keep the number reading short.
constexpr size_t kLongestNumber = 24;

SettingRow TextRow(const char* key, const char* caption, const char* unit, SettingKind kind,
                   std::string PS::*text) {
    return {key, caption, unit, kind, text, nullptr};
}

SettingRow IntegerRow(const char* key, const char* caption, const char* unit, int PS::*integer) {
    return {key, caption, unit, SettingKind::Integer, nullptr, integer};
}

bool Digit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Optional sign, then digits with at most one point, with at least one digit.
bool DecimalNumber(const std::string& text) {
    if (text.empty() || text.size() > kLongestNumber) {
        return false;
    }
    size_t k = (text[0] == '+' || text[0] == '-') ? 1 : 0;
    bool digits = false;
    bool point = false;
    for (; k < text.size(); ++k) {
        if (Digit(text[k])) {
            digits = true;
        } else if (text[k] == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits;
}

// Optional sign and digits, within 32 bits.
std::optional<int> WholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 11) {
        return std::nullopt;
    }
    size_t k = (text[0] == '+' || text[0] == '-') ? 1 : 0;
    if (k == text.size()) {
        return std::nullopt;
    }
    for (size_t d = k; d < text.size(); ++d) {
        if (!Digit(text[d])) {
            return std::nullopt;
        }
    }
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value < INT32_MIN || value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

template <size_t N>
bool InList(const std::array<const char*, N>& list, const std::string& text) {
    for (const char* entry : list) {
        if (text == entry) {
            return true;
        }
    }
    return false;
}

}  // namespace

const std::array<SettingRow, kSettingRowCount>& SettingRows() {
    static const std::array<SettingRow, kSettingRowCount> rows = {
        TextRow("ctRatio", QT_TRANSLATE_NOOP("MotorProtector", "电流变比"), "", SettingKind::Whole,
                &PS::CtRatio),
        TextRow("ratedCurrent", QT_TRANSLATE_NOOP("MotorProtector", "额定电流"), "A",
                SettingKind::Tenths, &PS::RatedCurrent),
        TextRow("ratedVoltage", QT_TRANSLATE_NOOP("MotorProtector", "额定电压"), "V",
                SettingKind::Whole, &PS::RatedVoltage),
        TextRow("startTime", QT_TRANSLATE_NOOP("MotorProtector", "启动时间"), "s",
                SettingKind::Whole, &PS::StartTime),
        TextRow("startMode", QT_TRANSLATE_NOOP("MotorProtector", "起动方式"), "",
                SettingKind::StartMode, nullptr),
        TextRow("lockedRotorMultiple", QT_TRANSLATE_NOOP("MotorProtector", "堵转保护动作倍数"),
                QT_TRANSLATE_NOOP("MotorProtector", "倍额定电流"), SettingKind::Tenths,
                &PS::LockedRotorMultiple),
        TextRow("lockedRotorTime", QT_TRANSLATE_NOOP("MotorProtector", "堵转保护动作时间"), "s",
                SettingKind::Tenths, &PS::LockedRotorTime),
        TextRow("definiteTimeMultiple", QT_TRANSLATE_NOOP("MotorProtector", "定时限过负荷动作倍数"),
                QT_TRANSLATE_NOOP("MotorProtector", "倍额定电流"), SettingKind::Tenths,
                &PS::DefiniteTimeMultiple),
        TextRow("definiteTimeTime", QT_TRANSLATE_NOOP("MotorProtector", "定时限过负荷动作时间"),
                "s", SettingKind::Whole, &PS::DefiniteTimeTime),
        TextRow("unbalancePercent", QT_TRANSLATE_NOOP("MotorProtector", "不平衡动作值"), "%",
                SettingKind::Whole, &PS::UnbalancePercent),
        TextRow("unbalanceTime", QT_TRANSLATE_NOOP("MotorProtector", "不平衡动作时间"), "s",
                SettingKind::Tenths, &PS::UnbalanceTime),
        TextRow("curve", QT_TRANSLATE_NOOP("MotorProtector", "曲线选择"), "", SettingKind::Curve,
                &PS::CurveSelection),
        TextRow("phaseLossTime", QT_TRANSLATE_NOOP("MotorProtector", "缺相时间"), "s",
                SettingKind::Tenths, &PS::PhaseLossTime),
        TextRow("pwmPhase", QT_TRANSLATE_NOOP("MotorProtector", "PWM选择输出"), "",
                SettingKind::Phase, &PS::PwmPhase),
        IntegerRow("breakingCurrent", QT_TRANSLATE_NOOP("MotorProtector", "交流接触器允许分断电流"),
                   "", &PS::BreakingCurrent),
        IntegerRow("overVoltagePercent", QT_TRANSLATE_NOOP("MotorProtector", "过压保护动作值"),
                   QT_TRANSLATE_NOOP("MotorProtector", "%额定电压"), &PS::OverVoltagePercent),
        IntegerRow("overVoltageTime", QT_TRANSLATE_NOOP("MotorProtector", "过压保护动作时间"), "s",
                   &PS::OverVoltageTime),
        IntegerRow("underVoltagePercent", QT_TRANSLATE_NOOP("MotorProtector", "欠压保护动作值"),
                   QT_TRANSLATE_NOOP("MotorProtector", "%额定电压"), &PS::UnderVoltagePercent),
        IntegerRow("underVoltageTime", QT_TRANSLATE_NOOP("MotorProtector", "欠压保护动作时间"), "s",
                   &PS::UnderVoltageTime),
    };
    return rows;
}

const std::array<ProtectionRow, kProtectionCount>& ProtectionRows() {
    static const std::array<ProtectionRow, kProtectionCount> rows = {{
        {"shortCircuit", QT_TRANSLATE_NOOP("MotorProtector", "短路保护")},
        {"lockedRotor", QT_TRANSLATE_NOOP("MotorProtector", "堵转保护")},
        {"definiteTime", QT_TRANSLATE_NOOP("MotorProtector", "定时限过负荷")},
        {"unbalance", QT_TRANSLATE_NOOP("MotorProtector", "不平衡")},
        {"inverseTime", QT_TRANSLATE_NOOP("MotorProtector", "反时限过负荷")},
        {"startTimeout", QT_TRANSLATE_NOOP("MotorProtector", "启动超时")},
        {"phaseLoss", QT_TRANSLATE_NOOP("MotorProtector", "缺相保护")},
        {"overVoltage", QT_TRANSLATE_NOOP("MotorProtector", "过压保护")},
        {"underVoltage", QT_TRANSLATE_NOOP("MotorProtector", "欠压保护")},
    }};
    return rows;
}

std::string CaptionWithUnit(const SettingRow& row) {
    std::string caption = Tr(row.Caption);
    if (row.Unit[0] != '\0') {
        caption += " (" + Tr(row.Unit) + ")";
    }
    return caption;
}

std::string SettingText(const SettingsValues& values, const SettingRow& row) {
    if (row.Kind == SettingKind::StartMode) {
        return values.StartMode;
    }
    if (row.Integer != nullptr) {
        return FormatInt(values.Protection.*row.Integer);
    }
    return values.Protection.*row.Text;
}

void SetSettingText(SettingsValues& values, const SettingRow& row, const std::string& text) {
    if (row.Kind == SettingKind::StartMode) {
        values.StartMode = text;
    } else if (row.Integer != nullptr) {
        values.Protection.*row.Integer = WholeNumber(text).value_or(0);
    } else {
        values.Protection.*row.Text = text;
    }
}

std::optional<std::string> RefuseSettingText(const SettingRow& row, const std::string& text) {
    const auto refuse = [&](const char* pattern) {
        return std::optional<std::string>(FillIn(Tr(pattern), {Tr(row.Caption), text}));
    };
    // An empty setting is named as empty, as the write names an empty field.
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
        return FillIn(Tr(kSettingEmptyMessage), {Tr(row.Caption)});
    }
    switch (row.Kind) {
        case SettingKind::Whole:
        case SettingKind::Tenths:
            if (!DecimalNumber(text)) {
                return refuse(QT_TRANSLATE_NOOP("MotorProtector", "%1的值“%2”不是数字"));
            }
            return std::nullopt;
        case SettingKind::Integer:
            if (!WholeNumber(text)) {
                return refuse(QT_TRANSLATE_NOOP("MotorProtector", "%1的值“%2”不是整数"));
            }
            return std::nullopt;
        case SettingKind::Curve:
            if (!InList(CurveList, text)) {
                return refuse(QT_TRANSLATE_NOOP("MotorProtector", "%1的值“%2”不在曲线列表中"));
            }
            return std::nullopt;
        case SettingKind::Phase:
            if (!InList(PhaseList, text)) {
                return refuse(
                    QT_TRANSLATE_NOOP("MotorProtector", "%1的值“%2”不在PWM选择输出的列表中"));
            }
            return std::nullopt;
        case SettingKind::StartMode:
            if (!InList(StartModeNames, text)) {
                return refuse(
                    QT_TRANSLATE_NOOP("MotorProtector", "%1的值“%2”不在起动方式的列表中"));
            }
            return std::nullopt;
    }
    return std::nullopt;
}

bool SameSetting(const SettingRow& row, const std::string& a, const std::string& b) {
    switch (row.Kind) {
        case SettingKind::Whole:
        case SettingKind::Tenths:
            // The values meant, not their wire forms: a window's 12.7 is no CT ratio of 12,
            // though a write would have sent 12. "50" and "50.0" mean the same.
            return DecimalNumber(a) && DecimalNumber(b)
                       ? std::fabs(AtoF(a) - AtoF(b)) <= 1e-9 * std::max(1.0, std::fabs(AtoF(a)))
                       : a == b;
        case SettingKind::Integer:
            return WholeNumber(a) && WholeNumber(b) ? *WholeNumber(a) == *WholeNumber(b) : a == b;
        default:
            return a == b;
    }
}

bool SameValues(const SettingsValues& a, const SettingsValues& b) {
    for (const SettingRow& row : SettingRows()) {
        if (SettingText(a, row) != SettingText(b, row)) {
            return false;
        }
    }
    return a.Protection.Enabled == b.Protection.Enabled;
}

std::optional<std::string> RefuseValues(const SettingsValues& values) {
    for (const SettingRow& row : SettingRows()) {
        if (auto refusal = RefuseSettingText(row, SettingText(values, row))) {
            return refusal;
        }
    }
    // The write's own rule, so that every device whose settings can be written can be saved.
    return ValidateSettings(values.Protection);
}

const char* ProtectionStateText(bool enabled) {
    return enabled ? QT_TRANSLATE_NOOP("MotorProtector", "投入")
                   : QT_TRANSLATE_NOOP("MotorProtector", "退出");
}

}  // namespace mp
