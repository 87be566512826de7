#include "monitoring/PollingCycle.h"

#include <cstdint>

#include "monitoring/LiveReads.h"
#include "settings/SettingsRead.h"

namespace mp {

void RunStartSequence(CDeviceContext& ctx, ProtectionSettings* settings, LiveValues* live,
                      std::function<void()> lockControls,
                      std::function<void(bool settingsReadFailed)> showPolling) {
    const bool blockA = ReadSettingsBlockA(ctx, settings);
    ctx.Sleep(300);
    const bool blockB = ReadSettingsBlockB(ctx, settings);
    ctx.Sleep(100);
    ReadPhaseCurrents(ctx, settings, live);
    ReadPhaseVoltages(ctx, live);
    ctx.Sleep(100);
    ReadDigitalInputs(ctx, live);
    ReadOutputStates(ctx, live);
    ctx.Sleep(100);
    ctx.Sleep(200);
    const bool blockC = ReadSettingsBlockC(ctx, settings);

    if (lockControls) {
        ctx.Post(std::move(lockControls));
    }
    ctx.Show();
    ctx.Timer.StartPollTimer();
    const bool failed = !blockA || !blockB || !blockC;
    ctx.Post([show = std::move(showPolling), failed] {
        if (show) {
            show(failed);
        }
    });
}

void RunPollTick(CDeviceContext& ctx, const ProtectionSettings* settings, LiveValues* live) {
    const int32_t address = ctx.Link.SlaveAddress();
    ctx.Post([live, address] { live->CurrentAddress = address; });

    IClock& clock = ctx.Link.Clock();
    const uint32_t t0 = clock.TickCount();
    ReadPhaseCurrents(ctx, settings, live);
    ReadOutputStates(ctx, live);
    ReadDigitalInputs(ctx, live);
    // Unsigned difference: right across the wrap of the tick count.
    const uint32_t elapsed = clock.TickCount() - t0;
    ctx.Post([live, elapsed] { live->AcquisitionTime = static_cast<int32_t>(elapsed); });

    ReadPhaseVoltages(ctx, live);
    ReadStatusLamps(ctx, live);
    ctx.Show();
}

}  // namespace mp
