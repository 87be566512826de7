#include "files/DeviceSettingsRead.h"

#include "settings/SettingsRead.h"

namespace mp {
namespace {

constexpr uint32_t kAfterBlockAMs = 300;
constexpr uint32_t kAfterBlockBMs = 100;
constexpr uint32_t kAfterBlockCMs = 300;

std::optional<SettingsValues> ReadBlocks(CDeviceContext& ctx) {
    CDecodeHere here;
    CDeviceContext local(ctx.Link, here, ctx.Timer, ctx.StopFlag(), ctx.CloseFlag());
    ProtectionSettings device;
    if (!ReadSettingsBlockA(local, &device)) {
        return std::nullopt;
    }
    ctx.Sleep(kAfterBlockAMs);
    if (ctx.Stopped() || !ReadSettingsBlockB(local, &device)) {
        return std::nullopt;
    }
    ctx.Sleep(kAfterBlockBMs);
    if (ctx.Stopped()) {
        return std::nullopt;
    }
    // Block C is decoded only from a located response: zeros are not the device's values.
    const bool blockC = ctx.Link.ReadHoldingRegisters(kSettingsBlockCStart, kSettingsBlockCCount);
    if (blockC) {
        DecodeSettingsBlockC(device, ctx.Link.Rx().data());
    }
    ctx.Sleep(kAfterBlockCMs);
    if (!blockC) {
        return std::nullopt;
    }
    SettingsValues values;
    values.Protection = device;
    values.StartMode = device.StartModeText;
    return values;
}

}  // namespace

std::optional<SettingsValues> ReadDeviceSettingsHere(CDeviceContext& ctx) {
    return ReadBlocks(ctx);
}

void ReadDeviceSettings(CDeviceContext& ctx,
                        std::function<void(std::optional<SettingsValues>)> done) {
    std::optional<SettingsValues> values = ReadBlocks(ctx);
    if (done) {
        ctx.Post([done = std::move(done), values = std::move(values)] { done(values); });
    }
}

}  // namespace mp
