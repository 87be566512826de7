#pragma once
// The start-mode command: one write of register 0x5455, whose high byte is the phase-loss
// time in tenths of a second and whose low byte is the start mode (0 "直接起动",
// 1 "双向可逆起动", 2 "星三角起动").
//
// The register carries the phase-loss time too, so the command sends only a phase-loss time
// the operator typed; otherwise it first reads the device's own (register 0x0155, as the
// settings write does for the start mode) and writes it back unchanged. Then it reads the
// register back: the start mode is set only when the device holds it.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "device/RegisterMap.h"
#include "modbus/DeviceContext.h"
#include "modbus/FrameBuffers.h"

namespace mp {

constexpr uint32_t kStartModeWaitMs = 100;

// Request (11 bytes). The phase-loss text is read as a number (0 when it holds none), in
// tenths rounded to the nearest; both bytes carry the low 8 bits, so no selection (-1) sends
// 0xFF as the mode.
int16_t BuildStartModeFrame(TxBuffer& tx, uint8_t address, const std::string& phaseLossTime,
                            int modeIndex);

enum class StartModeOutcome {
    Confirmed,    // read back: the device holds the mode and the phase-loss time sent
    NotHeld,      // read back: it holds something else
    Unconfirmed,  // sent, but the read-back found no reply
    NotSent,      // the device's phase-loss time could not be read: nothing was sent
};

struct StartModeResult {
    StartModeOutcome Outcome = StartModeOutcome::NotSent;
    int HeldMode = -1;  // the start mode read back, -1 without a read-back
};

// Marked texts (language/Text.h) for the outcomes other than Confirmed.
extern const char* const kStartModeNotHeldText;
extern const char* const kStartModeUnconfirmedText;
extern const char* const kStartModeNotSentText;

// Runs on the I/O worker: with `typedPhaseLossTime` the write carries it; without, the
// device's phase-loss time is read first (300 ms) and, after 100 ms, written back. The write
// waits 100 ms; the register is then read back (300 ms). Posts `done` with the outcome.
StartModeResult SetStartMode(CDeviceContext& ctx, std::optional<std::string> typedPhaseLossTime,
                             int modeIndex, std::function<void(StartModeResult)> done = {});

}  // namespace mp
