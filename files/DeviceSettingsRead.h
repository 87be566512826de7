#pragma once
// Reading the device's settings for a comparison: the three settings blocks with the waits of
// the read command, decoded into a settings set of their own. The window's fields are never
// touched and nothing is shown.

#include <functional>
#include <optional>

#include "files/SettingsValues.h"
#include "modbus/DeviceContext.h"

namespace mp {

// Runs on the I/O worker: block A (500 ms), 300 ms, block B (300 ms), 100 ms, block C
// (300 ms), 300 ms. Posts the device's values to the window thread, or nothing when a block
// went unanswered: a device that did not answer has no values to compare. The start mode is
// the device's, as block A reports it; a list position the device reports outside its list
// leaves that text empty.
void ReadDeviceSettings(CDeviceContext& ctx,
                        std::function<void(std::optional<SettingsValues>)> done);

// The same read, on the I/O worker, returning the values there: nothing is posted.
std::optional<SettingsValues> ReadDeviceSettingsHere(CDeviceContext& ctx);

// A window side that runs every change and posted function at once on the worker: device
// reads decode into values of their own instead of handing them to the window.
class CDecodeHere : public IWindowQueue {
public:
    void Show(std::function<void()> change) override {
        if (change) {
            change();
        }
    }
    void Post(std::function<void()> fn) override {
        if (fn) {
            fn();
        }
    }
};

}  // namespace mp
