#include "files/ReportRead.h"

#include "events/EventRecords.h"
#include "files/DeviceSettingsRead.h"
#include "maintenance/Coefficients.h"
#include "monitoring/LiveReads.h"

namespace mp {
namespace {

// Between the groups of the read, as the read command spaces its blocks.
constexpr uint32_t kBetweenStepsMs = 100;

// The steps on the worker; false when the device left one unanswered or the read was
// cancelled (`result` says which).
bool ReadAll(CDeviceContext& ctx, CommParamsRead readCommParams, const std::atomic<bool>& cancel,
             const std::function<void(int)>& progress, DeviceReading& reading,
             ReportReadResult& result) {
    CDecodeHere here;
    CDeviceContext local(ctx.Link, here, ctx.Timer);
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
    bool answered = false;
    readCommParams(local, [&](bool ok, int address, std::string baudText) {
        answered = ok;
        reading.StoredAddress = address;
        reading.StoredBaud = QString::fromStdString(baudText);
    });
    if (!answered) {
        return false;
    }

    if (!next(ReportReadStep::Settings)) {
        return false;
    }
    std::optional<SettingsValues> settings = ReadDeviceSettingsHere(local);
    if (!settings) {
        return false;
    }
    reading.Settings = *settings;

    if (!next(ReportReadStep::Coefficients)) {
        return false;
    }
    answered = false;
    ReadCoefficients(local, &reading.Coefficients, [&](bool ok) { answered = ok; });
    if (!answered) {
        return false;
    }

    if (!next(ReportReadStep::Events)) {
        return false;
    }
    std::optional<EventRecordTexts> events;
    ReadEventRecords(local, [&](std::optional<EventRecordTexts> texts) { events = texts; });
    if (!events) {
        return false;
    }
    reading.Events = *events;

    if (!next(ReportReadStep::Live)) {
        return false;
    }
    // The currents are scaled by the CT ratio the device holds, not by the window's. A live
    // read without a reply leaves its group stale and empty: shown as not read.
    ReadPhaseCurrents(local, &reading.Settings.Protection, &reading.Live);
    ReadPhaseVoltages(local, &reading.Live);
    ReadDigitalInputs(local, &reading.Live);
    ReadOutputStates(local, &reading.Live);
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
