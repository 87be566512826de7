#pragma once
// What one visit of the line's scheduler found at one relay: the live values that answered,
// each absent when its read got no reply (never zeros), and when it was taken.

#include <cstdint>
#include <optional>

#include "events/EventRecordTexts.h"
#include "monitoring/LiveReads.h"
#include "settings/ProtectionSettings.h"

namespace mp {

struct FeederSample {
    int Line = 0;         // the line's index in the plant
    uint8_t Address = 0;  // the relay's slave address on it
    // Tick count of the line's clock when the visit ended, and wall time in ms since the epoch.
    uint32_t Tick = 0;
    int64_t TimeMs = 0;
    bool Answered = false;  // at least one read was answered
    std::optional<PhaseCurrentReading> Currents;
    std::optional<PhaseVoltageReading> Voltages;
    std::optional<DigitalInputReading> Inputs;
    std::optional<OutputStateReading> Outputs;
    std::optional<StatusLampReading> Status;
    // The relay's CT ratio and rated current: the feeder's rated data when the plant gives
    // them, else as read from the relay (absent until read).
    std::optional<double> CtRatio;
    std::optional<double> RatedCurrent;
    // The relay's stored alarm events, read at first contact and whenever its status byte
    // changes (absent when not read this visit).
    std::optional<EventRecordTexts> Events;
    // The relay's whole protection settings, when the line reads them and read them this
    // visit.
    std::optional<ProtectionSettings> Settings;
    // Rounds this relay is skipped after this visit (0: polled every round).
    int BackOffRounds = 0;
};

}  // namespace mp
