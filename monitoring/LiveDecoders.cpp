#include "monitoring/LiveDecoders.h"

#include "device/Scaling.h"
#include "settings/NumberText.h"

namespace mp {

std::string ToBinaryText(const std::string& decimalText) {
    auto value = static_cast<uint32_t>(AtoI(decimalText));
    if (value == 0) {
        return "0";
    }
    std::string digits;
    for (; value != 0; value >>= 1) {
        digits.insert(digits.begin(), (value & 1u) ? '1' : '0');
    }
    return digits;
}

std::string ByteBitsText(uint8_t byte) {
    const std::string digits = ToBinaryText(FormatInt(byte));
    return std::string(8 - digits.size(), '0') + digits;
}

Lamp BitLamp(uint8_t byte, int bit) {
    if (bit < 0 || bit > 7) {
        return Lamp::Unknown;
    }
    return ByteBitsText(byte)[static_cast<size_t>(7 - bit)] == '1' ? Lamp::Red : Lamp::Green;
}

void DecodePhaseCurrents(LiveValues& live, const std::string& ctRatioText,
                         std::array<uint16_t, 3> raw) {
    const double ratio = AtoI(ctRatioText);
    for (size_t k = 0; k < raw.size(); ++k) {
        live.Currents[k] = FormatFixed(raw[k] * ratio * kCurrentPerCtRatio, 3);
    }
}

void DecodePhaseVoltages(LiveValues& live, std::array<uint16_t, 3> raw) {
    for (size_t k = 0; k < raw.size(); ++k) {
        live.Voltages[k] = FormatFixed(raw[k] * kVoltsPerUnit, 2);
    }
}

void DecodeDigitalInputs(LiveValues& live, uint8_t byte) {
    for (size_t k = 0; k < live.Inputs.size(); ++k) {
        live.Inputs[k] = BitLamp(byte, static_cast<int>(k));
    }
}

void DecodeOutputStates(LiveValues& live, uint8_t byte) {
    for (size_t k = 0; k < live.Outputs.size(); ++k) {
        live.Outputs[k] = BitLamp(byte, static_cast<int>(k));
        live.OutputChecks[k] = live.Outputs[k] == Lamp::Red;
    }
}

void DecodeStatusLamps(LiveValues& live, uint8_t lowByte) {
    live.StatusLamps = lowByte;
}

}  // namespace mp
