#pragma once
// Tells a live or settings value decoded from its own read apart from one decoded from
// another read's bytes: each field may hold what it held at the start or what the simulated
// device holds for it (live motion off), nothing else.

#include <QStringList>
#include <set>
#include <string>

#include "monitoring/LiveDecoders.h"
#include "monitoring/LiveValues.h"
#include "settings/NumberText.h"
#include "settings/ProtectionSettings.h"
#include "simulator/SimulatedDevice.h"

namespace mp::test {

class CWrongValues {
public:
    // `live` and `settings` as the window holds them before the first exchange.
    CWrongValues(const CSimulatedDevice& device, const LiveValues& live,
                 const ProtectionSettings& settings)
        : Live_(live), Settings_(settings) {
        // The currents decode with the ratio the window holds: its own, or the device's once
        // block A was read.
        for (const std::string& ratio :
             {settings.CtRatio, FormatInt(device.Register(0x0153))}) {
            LiveValues decoded;
            DecodePhaseCurrents(decoded, ratio,
                                {device.Register(0x0106), device.Register(0x0107),
                                 device.Register(0x0108)});
            Currents_.insert(decoded.Currents);
        }
        DecodePhaseVoltages(Device_, {device.Register(0x0103), device.Register(0x0104),
                                      device.Register(0x0105)});
        DecodeDigitalInputs(Device_, device.Inputs());
        DecodeOutputStates(Device_, device.Coils());
        Status_ = static_cast<uint8_t>(device.Register(0x011B) & 0xFF);
        CtRatio_ = FormatInt(device.Register(0x0153));
        RatedVoltage_ = FormatInt(device.Register(0x0157));
        BreakingCurrent_ = device.Register(0x0162);
        OverVoltagePercent_ = device.Register(0x0160) >> 8;
        UnderVoltagePercent_ = device.Register(0x0161) >> 8;
    }

    // The fields that hold a value from another read; empty when every field is right. Block
    // C may also hold zeros: a register read without a reply leaves them.
    QStringList Of(const LiveValues& live, const ProtectionSettings& s) const {
        QStringList wrong;
        auto check = [&wrong](bool right, const char* name) {
            if (!right) {
                wrong << QString::fromLatin1(name);
            }
        };
        check(live.Currents == Live_.Currents || Currents_.count(live.Currents) > 0, "currents");
        check(live.Voltages == Live_.Voltages || live.Voltages == Device_.Voltages, "voltages");
        check(live.Inputs == Live_.Inputs || live.Inputs == Device_.Inputs, "inputs");
        check(live.Outputs == Live_.Outputs || live.Outputs == Device_.Outputs, "outputs");
        check(live.StatusLamps == Live_.StatusLamps || live.StatusLamps == Status_, "status");
        check(s.CtRatio == Settings_.CtRatio || s.CtRatio == CtRatio_, "CT ratio");
        check(s.RatedVoltage == Settings_.RatedVoltage || s.RatedVoltage == RatedVoltage_,
              "rated voltage");
        check(s.BreakingCurrent == Settings_.BreakingCurrent ||
                  s.BreakingCurrent == BreakingCurrent_ || s.BreakingCurrent == 0,
              "breaking current");
        check(s.OverVoltagePercent == Settings_.OverVoltagePercent ||
                  s.OverVoltagePercent == OverVoltagePercent_ || s.OverVoltagePercent == 0,
              "over-voltage");
        check(s.UnderVoltagePercent == Settings_.UnderVoltagePercent ||
                  s.UnderVoltagePercent == UnderVoltagePercent_ || s.UnderVoltagePercent == 0,
              "under-voltage");
        return wrong;
    }

private:
    LiveValues Live_;
    ProtectionSettings Settings_;
    std::set<std::array<std::string, 3>> Currents_;
    LiveValues Device_;
    std::optional<uint8_t> Status_;
    std::string CtRatio_;
    std::string RatedVoltage_;
    int BreakingCurrent_ = 0;
    int OverVoltagePercent_ = 0;
    int UnderVoltagePercent_ = 0;
};

}  // namespace mp::test
