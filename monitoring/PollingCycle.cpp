#include "monitoring/PollingCycle.h"

#include <cstdint>

#include "monitoring/LiveReads.h"
#include "settings/SettingsRead.h"

namespace mp {
namespace {

// Runs one step of a sequence unless the operator has stopped it; false once stopped.
template <typename Fn>
bool Step(CDeviceContext& ctx, Fn&& step) {
    if (ctx.Stopped()) {
        return false;
    }
    step();
    return true;
}

}  // namespace

void RunStartSequence(CDeviceContext& ctx, ProtectionSettings* settings, LiveValues* live,
                      std::function<void()> lockControls,
                      std::function<void(bool settingsReadFailed)> showPolling) {
    // A stop ends the sequence between two exchanges: nothing further is sent, the controls
    // are not locked, the timer is not started and the status is left as the stop set it.
    bool blockA = false;
    bool blockB = false;
    bool blockC = false;
    const bool finished = Step(ctx, [&] { blockA = ReadSettingsBlockA(ctx, settings); }) &&
                          Step(ctx, [&] { ctx.Sleep(300); }) &&
                          Step(ctx, [&] { blockB = ReadSettingsBlockB(ctx, settings); }) &&
                          Step(ctx, [&] { ctx.Sleep(100); }) &&
                          Step(ctx, [&] { ReadPhaseCurrents(ctx, settings, live); }) &&
                          Step(ctx,
                               [&] {
                                   ReadPhaseVoltages(ctx, live);
                                   ctx.Sleep(100);
                               }) &&
                          Step(ctx, [&] { ReadDigitalInputs(ctx, live); }) &&
                          Step(ctx,
                               [&] {
                                   ReadOutputStates(ctx, live);
                                   ctx.Sleep(100);
                                   ctx.Sleep(200);
                               }) &&
                          Step(ctx, [&] { blockC = ReadSettingsBlockC(ctx, settings); }) &&
                          !ctx.Stopped();
    if (!finished) {
        return;
    }

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

PollTickResult RunPollTick(CDeviceContext& ctx, const ProtectionSettings* settings,
                           LiveValues* live) {
    PollTickResult answered;
    const int32_t address = ctx.Link.SlaveAddress();
    ctx.Post([live, address] { live->CurrentAddress = address; });

    IClock& clock = ctx.Link.Clock();
    const uint32_t t0 = clock.TickCount();
    // A stop ends the tick between two exchanges.
    const bool finished =
        Step(ctx, [&] { answered.Currents = ReadPhaseCurrents(ctx, settings, live); }) &&
        Step(ctx, [&] { answered.Outputs = ReadOutputStates(ctx, live); }) &&
        Step(ctx,
             [&] {
                 answered.Inputs = ReadDigitalInputs(ctx, live);
                 // Unsigned difference: right across the wrap of the tick count.
                 const uint32_t elapsed = clock.TickCount() - t0;
                 ctx.Post(
                     [live, elapsed] { live->AcquisitionTime = static_cast<int32_t>(elapsed); });
             }) &&
        Step(ctx, [&] { answered.Voltages = ReadPhaseVoltages(ctx, live); }) &&
        Step(ctx, [&] { answered.Status = ReadStatusLamps(ctx, live); });
    if (finished) {
        ctx.Show();
    }
    return answered;
}

}  // namespace mp
