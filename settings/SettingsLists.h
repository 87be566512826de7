#pragma once
// The drop-down lists whose positions travel on the wire, and the protection enable byte.
//
// The list texts are data: the settings hold them, the settings file stores them and they are
// compared as exact text, always in Chinese. PhaseList and StartModeNames are marked texts
// (language/Text.h) so that a window shows each one through mp::Tr while keeping the Chinese
// text as the item's value.

#include <array>
#include <cstdint>
#include <string>

#include "settings/ProtectionSettings.h"

namespace mp {

// "曲线选择": index 0 to 12 is the value on the wire.
extern const std::array<const char*, 13> CurveList;
// "PWM选择输出": index 0 to 2.
extern const std::array<const char*, 3> PhaseList;
// "起动方式": 0 direct, 1 reversing, 2 star-delta.
extern const std::array<const char*, 3> StartModeNames;

// Position of the text in the list compared as exact text, -1 when it is none of them.
int CurveIndex(const std::string& text);
int PhaseIndex(const std::string& text);

// Bit 0 "短路保护", 1 "堵转保护", 2 "不平衡", 3 "定时限过负荷", 4 "反时限过负荷",
// 5 "启动超时", 6 "缺相保护", 7 "过压保护". "欠压保护" travels as bit 0 of the next byte.
uint8_t ProtectionEnableByte(const std::array<bool, kProtectionCount>& enabled);
uint8_t UnderVoltageEnableByte(const std::array<bool, kProtectionCount>& enabled);
// Sets the nine check states from the enable byte and the under-voltage byte.
void SetProtectionsFromBytes(std::array<bool, kProtectionCount>& enabled, uint8_t enableByte,
                             uint8_t underVoltageByte);

}  // namespace mp
