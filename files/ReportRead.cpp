#include "files/ReportRead.h"

#include <chrono>

#include "events/EventRecords.h"
#include "files/DeviceSettingsRead.h"
#include "maintenance/Coefficients.h"
#include "monitoring/LiveDecoders.h"
#include "monitoring/LiveReads.h"

namespace mp {
namespace {

// Between the groups of the read, as the read command spaces its blocks.
constexpr uint32_t kBetweenStepsMs = 100;

// A live group into the reading: decoded and fresh when the device answered, otherwise stale
// (empty, shown as not read) with the reason.
template <typename Reading, typename Decode>
void TakeLive(CDeviceContext& ctx, const std::optional<Reading>& read, LiveGroup group,
              LiveValues& live, Decode decode) {
    if (read) {
        decode(*read);
        live.Freshness.MarkRead(group);
        return;
    }
    const int64_t now = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
    live.Freshness.MarkMissed(group, LiveReadFailure(ctx.Link), now);
}

// The steps on the worker; false when the device left one unanswered or the read was
// cancelled (`result` says which).
bool ReadAll(CDeviceContext& ctx, CommParamsRead readCommParams, const std::atomic<bool>& cancel,
             const std::function<void(int)>& progress, DeviceReading& reading,
             ReportReadResult& result) {
    int done = 0;
    // Before each step: the cancel, and the steps done so far for the window.
    auto next = [&](ReportReadStep step) {
        if (done > 0) {
            ctx.Sleep(kBetweenStepsMs);
        }
        if (progress) {
            ctx.Post([progress, done] { progress(done); });
        }
        ++done;
        result.Unanswered = step;
        if (cancel.load()) {
            result.Cancelled = true;
            return false;
        }
        return true;
    };

    if (!next(ReportReadStep::CommParams)) {
        return false;
    }
    const std::optional<DeviceCommParams> held = readCommParams(ctx);
    if (!held) {
        return false;
    }
    reading.StoredAddress = held->Address;
    reading.StoredBaud = QString::fromStdString(held->BaudText());

    if (!next(ReportReadStep::Settings)) {
        return false;
    }
    std::optional<SettingsValues> settings = FetchDeviceSettings(ctx);
    if (!settings) {
        return false;
    }
    reading.Settings = std::move(*settings);

    if (!next(ReportReadStep::Coefficients)) {
        return false;
    }
    const std::optional<CoefficientValues> coefficients = FetchCoefficients(ctx);
    if (!coefficients) {
        return false;
    }
    ApplyCoefficients(reading.Coefficients, *coefficients);

    if (!next(ReportReadStep::Events)) {
        return false;
    }
    std::optional<EventRecordTexts> events = FetchEventRecords(ctx);
    if (!events) {
        return false;
    }
    reading.Events = std::move(*events);

    if (!next(ReportReadStep::Live)) {
        return false;
    }
    // The currents are scaled by the CT ratio the device holds, not by the window's. A live
    // read without a reply leaves its group stale and empty: shown as not read.
    LiveValues& live = reading.Live;
    const std::string& ctRatio = reading.Settings.Protection.CtRatio;
    TakeLive(ctx, FetchPhaseCurrents(ctx), LiveGroup::Currents, live,
             [&](const PhaseCurrentReading& r) { DecodePhaseCurrents(live, ctRatio, r.Counts); });
    TakeLive(ctx, FetchPhaseVoltages(ctx), LiveGroup::Voltages, live,
             [&](const PhaseVoltageReading& r) { DecodePhaseVoltages(live, r.Tenths); });
    TakeLive(ctx, FetchDigitalInputs(ctx), LiveGroup::Inputs, live,
             [&](const DigitalInputReading& r) { DecodeDigitalInputs(live, r.Bits); });
    TakeLive(ctx, FetchOutputStates(ctx), LiveGroup::Outputs, live,
             [&](const OutputStateReading& r) { DecodeOutputStates(live, r.Bits); });
    if (progress) {
        ctx.Post([progress] { progress(kReportReadSteps); });
    }
    return true;
}

}  // namespace

void ReadDeviceForReport(CDeviceContext& ctx, CommParamsRead readCommParams,
                         std::shared_ptr<const std::atomic<bool>> cancel,
                         std::function<void(int stepsDone)> progress,
                         std::function<void(ReportReadResult)> done) {
    DeviceReading reading;
    reading.Address = ctx.Link.SlaveAddress();
    ReportReadResult result;
    if (ReadAll(ctx, readCommParams, *cancel, progress, reading, result)) {
        reading.ReadAt = QDateTime::currentDateTime();
        result.Reading = std::move(reading);
    }
    if (done) {
        ctx.Post([done = std::move(done), result = std::move(result)] { done(result); });
    }
}

}  // namespace mp
