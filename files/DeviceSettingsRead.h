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
// (300 ms), 300 ms. Gives the device's values, or nothing when a block went unanswered: a
// device that did not answer has no values to compare. The start mode is the device's, as
// block A reports it; a list position the device reports outside its list leaves that text
// empty.
std::optional<SettingsValues> FetchDeviceSettings(CDeviceContext& ctx);

// The same read, posting its result to the window thread.
void ReadDeviceSettings(CDeviceContext& ctx,
                        std::function<void(std::optional<SettingsValues>)> done);

}  // namespace mp
