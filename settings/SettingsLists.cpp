#include "settings/SettingsLists.h"

#include "language/Text.h"

namespace mp {
namespace {

// Bit of the enable byte for each protection, in the order of the Protection enum.
constexpr std::array<int, 8> kEnableBit = {
    0,  // kShortCircuit
    1,  // kLockedRotor
    3,  // kDefiniteTime
    2,  // kUnbalance
    4,  // kInverseTime
    5,  // kStartTimeout
    6,  // kPhaseLoss
    7,  // kOverVoltage
};

template <size_t N>
int IndexOf(const std::array<const char*, N>& list, const std::string& text) {
    for (size_t k = 0; k < N; ++k) {
        if (text == list[k]) {
            return static_cast<int>(k);
        }
    }
    return -1;
}

}  // namespace

const std::array<const char*, 13> CurveList = {"0",   "10",  "25",  "60",  "75",   "100", "125",
                                               "250", "300", "500", "750", "1000", "1200"};
const std::array<const char*, 3> PhaseList = {
    QT_TRANSLATE_NOOP("MotorProtector", "A相电流"),
    QT_TRANSLATE_NOOP("MotorProtector", "B相电流"),
    QT_TRANSLATE_NOOP("MotorProtector", "C相电流"),
};
const std::array<const char*, 3> StartModeNames = {
    QT_TRANSLATE_NOOP("MotorProtector", "直接起动"),
    QT_TRANSLATE_NOOP("MotorProtector", "双向可逆起动"),
    QT_TRANSLATE_NOOP("MotorProtector", "星三角起动"),
};

int CurveIndex(const std::string& text) {
    return IndexOf(CurveList, text);
}
int PhaseIndex(const std::string& text) {
    return IndexOf(PhaseList, text);
}

uint8_t ProtectionEnableByte(const std::array<bool, kProtectionCount>& enabled) {
    unsigned byte = 0;
    for (size_t k = 0; k < kEnableBit.size(); ++k) {
        if (enabled[k]) {
            byte |= 1u << kEnableBit[k];
        }
    }
    return static_cast<uint8_t>(byte);
}

uint8_t UnderVoltageEnableByte(const std::array<bool, kProtectionCount>& enabled) {
    return enabled[kUnderVoltage] ? 1 : 0;
}

void SetProtectionsFromBytes(std::array<bool, kProtectionCount>& enabled, uint8_t enableByte,
                             uint8_t underVoltageByte) {
    for (size_t k = 0; k < kEnableBit.size(); ++k) {
        enabled[k] = (enableByte >> kEnableBit[k]) & 1u;
    }
    enabled[kUnderVoltage] = underVoltageByte & 1u;
}

}  // namespace mp
