#pragma once
// The read behind the commissioning report: on the I/O worker, in one operation, the device's
// communication parameters (0x0150/0x0151), its three settings blocks, its calibration
// coefficients (0x0148, 7 registers), its stored events and a set of live values, each into
// values of their own. The window's fields are never touched. A device that leaves one of the
// first four unanswered gives no reading: a report is never made from other values.

#include <QDateTime>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "device/LineCodes.h"
#include "events/EventRecordTexts.h"
#include "files/SettingsValues.h"
#include "maintenance/CalibrationGrid.h"
#include "modbus/DeviceContext.h"
#include "monitoring/LiveValues.h"

namespace mp {

// The steps in the order they run.
enum class ReportReadStep : int { CommParams, Settings, Coefficients, Events, Live };
inline constexpr int kReportReadSteps = 5;

// What the device answered, at the address the link used.
struct DeviceReading {
    QDateTime ReadAt;       // when the last of the reads ended
    int Address = 0;        // the address the device answered at
    int StoredAddress = 0;  // low byte of 0x0150
    QString StoredBaud;     // the rate of the code in 0x0151; empty for a code outside the list
    SettingsValues Settings;
    CalibrationGrid Coefficients;
    EventRecordTexts Events;
    LiveValues Live;  // groups without a reply are stale and empty
};

struct ReportReadResult {
    std::optional<DeviceReading> Reading;
    bool Cancelled = false;
    ReportReadStep Unanswered = ReportReadStep::CommParams;  // without a reading nor a cancel
};

// The read of the device's own address and baud rate (registers 0x0150/0x0151, as the
// address change reads them), on the I/O worker: nothing when either went unanswered.
using CommParamsRead = std::optional<DeviceCommParams> (*)(CDeviceContext& ctx);

// Runs on the I/O worker. Before each step it looks at `cancel` and ends when it is set.
// `progress` gets the number of steps done, `done` the result; both are posted to the window
// thread.
void ReadDeviceForReport(CDeviceContext& ctx, CommParamsRead readCommParams,
                         std::shared_ptr<const std::atomic<bool>> cancel,
                         std::function<void(int stepsDone)> progress,
                         std::function<void(ReportReadResult)> done);

}  // namespace mp
