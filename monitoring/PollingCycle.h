#pragma once
// The monitoring sequences run on the I/O worker: the one-shot start sequence of the read
// command (settings and a first set of live values, then the lock and the poll timer) and
// one poll tick.

#include <functional>

#include "modbus/DeviceContext.h"
#include "monitoring/LiveValues.h"
#include "settings/ProtectionSettings.h"

namespace mp {

// The read command's sequence, after the window has taken its fields from the screen:
// settings block A, 300 ms, block B, 100 ms, currents, voltages, 100 ms, inputs, outputs,
// 100 ms and 200 ms, block C (with its own further 300 ms). Then, on the window thread in
// this order: `lockControls` (disable the lock set, enable the start-mode display), a show of
// every bound value, the poll timer started, and `showPolling` told whether block A, B or C
// found no response.
void RunStartSequence(CDeviceContext& ctx, ProtectionSettings* settings, LiveValues* live,
                      std::function<void()> lockControls,
                      std::function<void(bool settingsReadFailed)> showPolling);

// Which reads of one poll tick found their response.
struct PollTickResult {
    bool Currents = false;
    bool Outputs = false;
    bool Inputs = false;
    bool Voltages = false;
    bool Status = false;
};

// One poll tick: the current address, then currents, outputs and inputs (their duration is
// the acquisition time, measured on the link's wrapping tick count), voltages and status
// lamps, and a final show whatever failed. The address and the acquisition time are set on
// the window thread without a show of their own, so they reach the screen with the next one.
// Returns which reads answered (a read the stop cut off did not).
PollTickResult RunPollTick(CDeviceContext& ctx, const ProtectionSettings* settings,
                           LiveValues* live);

}  // namespace mp
