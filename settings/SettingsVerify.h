#pragma once
// Confirming a settings write: after the six groups the settings are read back with the
// requests and waits of the settings read, every setting sent is compared on the wire with
// what the device now holds, and the operator is told which settings it does not hold. The
// window's fields are left as the operator typed them.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "modbus/DeviceContext.h"
#include "settings/ProtectionSettings.h"
#include "settings/SettingsWrite.h"

namespace mp {

// Marked texts (see language/Text.h).
extern const char* const kWriteNotHeldMessage;  // "设备未保存以下参数：%1", %1 the names
extern const char* const kWriteUnconfirmedMessage;  // "设备无应答，数据写入未确认"

// Register values by register (read address).
using RegisterValues = std::map<uint16_t, uint16_t>;

struct SettingsWriteReport {
    SettingsWriteResult Written;
    // The settings sent that the device does not hold, in the order of the settings.
    std::vector<std::string> NotHeld;
    // Some setting sent could not be read back: the device did not answer its block.
    bool Unanswered = false;
    // What the read-back gave: the registers of the blocks that answered, and the settings
    // they make when all three answered.
    RegisterValues Held;
    std::optional<ProtectionSettings> HeldSettings;
};

// The registers the write sent, as the device reads them back (the write register less
// 0x5300), with the values of the group frames: every group but those `written` says were
// left out.
RegisterValues SentRegisters(const ProtectionSettings& s, const SettingsWriteResult& written);

// Reads block A, waits 300 ms, reads block B, reads block C and waits 300 ms; the registers of
// the blocks that answered (0x0154 to 0x0157 as block B gave them).
// With `decoded`: the blocks' values are decoded into it as well, and `whole` says whether
// all three blocks answered.
RegisterValues ReadBackSettings(CDeviceContext& ctx, ProtectionSettings* decoded = nullptr,
                                bool* whole = nullptr);

// Compares each setting sent (a whole register, a byte of it or a check box's bit) with what
// was read back, into report.NotHeld and report.Unanswered.
void CompareHeldSettings(const RegisterValues& sent, const RegisterValues& held,
                         SettingsWriteReport& report);

// On the I/O worker: the write of the six groups, then the read-back and the comparison.
// Hands the report to `done` on the window thread.
void WriteAndVerifySettings(CDeviceContext& ctx, ProtectionSettings snapshot,
                            std::function<void(SettingsWriteReport)> done);

// What the window tells the operator, in order: that the phase-and-start or the voltage group
// was left out, then either "数据写入成功..." (every group sent and every setting held), or
// the settings the device does not hold, or that it did not answer and the write is not
// confirmed; in the operator's language.
std::vector<std::string> SettingsWriteMessages(const SettingsWriteReport& report);

// Every group was sent and the device holds every setting sent.
bool SettingsWriteConfirmed(const SettingsWriteReport& report);

}  // namespace mp
