#pragma once
// Decoders of the live reads: phase currents and voltages into their texts, and the input,
// output and status bytes into indicator states. Pure functions on LiveValues.

#include <array>
#include <cstdint>
#include <string>

#include "monitoring/LiveValues.h"

namespace mp {

// The binary digits of the whole number at the start of `decimalText` (blanks, sign, digits;
// 0 when there is none), most significant first, without leading zeros: "165" -> "10100101",
// "0" -> "0". A negative number gives the digits of its 32-bit two's complement.
std::string ToBinaryText(const std::string& decimalText);

// The byte's binary text left-padded with "0" to eight characters: character 7 - k is bit k.
std::string ByteBitsText(uint8_t byte);

// Red for a 1 in bit `bit` of `byte`, green for a 0.
Lamp BitLamp(uint8_t byte, int bit);

// Each register × the CT ratio × 0.001, "%.3f". The ratio is the whole number at the start
// of the text as the window holds it ("150abc" -> 150; "" and "abc" -> 0).
void DecodePhaseCurrents(LiveValues& live, const std::string& ctRatioText,
                         std::array<uint16_t, 3> raw);

// Each register × 0.1, "%.2f".
void DecodePhaseVoltages(LiveValues& live, std::array<uint16_t, 3> raw);

// Bit k is DI k+1: red for 1 (closed), green for 0 (open).
void DecodeDigitalInputs(LiveValues& live, uint8_t byte);

// Bits 0, 1, 2: output A, output B, reset output, into the lamps and their hidden check
// boxes. Bits 3 to 7 are not used.
void DecodeOutputStates(LiveValues& live, uint8_t byte);

// The low byte of the status register; the window paints lamp k from bit k.
void DecodeStatusLamps(LiveValues& live, uint8_t lowByte);

}  // namespace mp
