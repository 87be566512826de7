#include "files/DeviceSettingsRead.h"

#include "settings/SettingsRead.h"

namespace mp {

std::optional<SettingsValues> FetchDeviceSettings(CDeviceContext& ctx) {
    std::optional<ProtectionSettings> device = FetchProtectionSettings(ctx);
    if (!device) {
        return std::nullopt;
    }
    SettingsValues values;
    values.StartMode = device->StartModeText;
    values.Protection = std::move(*device);
    return values;
}

void ReadDeviceSettings(CDeviceContext& ctx,
                        std::function<void(std::optional<SettingsValues>)> done) {
    std::optional<SettingsValues> values = FetchDeviceSettings(ctx);
    if (done) {
        ctx.Post([done = std::move(done), values = std::move(values)] { done(values); });
    }
}

}  // namespace mp
