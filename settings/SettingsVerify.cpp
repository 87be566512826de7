#include "settings/SettingsVerify.h"

#include "language/Text.h"
#include "settings/SettingNames.h"
#include "settings/SettingsRead.h"

namespace mp {

const char* const kWriteNotHeldMessage =
    QT_TRANSLATE_NOOP("MotorProtector", "设备未保存以下参数：%1");
const char* const kWriteUnconfirmedMessage =
    QT_TRANSLATE_NOOP("MotorProtector", "设备无应答，数据写入未确认");

namespace {

constexpr uint32_t kBetweenBlocksMs = 300;
constexpr uint32_t kAfterBlockCMs = 300;
constexpr char kNotHeldRestUnconfirmed[] =
    QT_TRANSLATE_NOOP("MotorProtector", "设备未保存以下参数：%1；其余参数设备无应答，写入未确认");

// One setting on the wire: the bits of its register that carry it.
struct HeldSetting {
    const char* Name;
    uint16_t Register;
    uint16_t Mask;
};

constexpr uint16_t kHigh = 0xFF00;
constexpr uint16_t kLow = 0x00FF;
constexpr uint16_t kWhole = 0xFFFF;

// Every setting a write sends, in the order of the registers. The zero bytes sent beside the
// PWM phase (0x0154 hi) and the curve (0x015B hi) carry no setting and are not compared.
const HeldSetting kHeldSettings[] = {
    {kCtRatioName, 0x0153, kWhole},
    {kPwmPhaseName, 0x0154, kLow},
    {kPhaseLossTimeName, 0x0155, kHigh},
    {kStartModeName, 0x0155, kLow},
    {kRatedVoltageName, 0x0157, kWhole},
    {kRatedCurrentName, 0x0158, kWhole},
    {kStartTimeName, 0x0159, kWhole},
    // The enable byte (0x015A hi) bit by bit, then the under-voltage bit (0x015A lo, bit 0).
    {kProtectionNames[kShortCircuit], 0x015A, 0x0100},
    {kProtectionNames[kLockedRotor], 0x015A, 0x0200},
    {kProtectionNames[kUnbalance], 0x015A, 0x0400},
    {kProtectionNames[kDefiniteTime], 0x015A, 0x0800},
    {kProtectionNames[kInverseTime], 0x015A, 0x1000},
    {kProtectionNames[kStartTimeout], 0x015A, 0x2000},
    {kProtectionNames[kPhaseLoss], 0x015A, 0x4000},
    {kProtectionNames[kOverVoltage], 0x015A, 0x8000},
    {kProtectionNames[kUnderVoltage], 0x015A, 0x0001},
    {kCurveSelectionName, 0x015B, kLow},
    {kLockedRotorMultipleName, 0x015C, kHigh},
    {kLockedRotorTimeName, 0x015C, kLow},
    {kDefiniteTimeMultipleName, 0x015D, kHigh},
    {kDefiniteTimeTimeName, 0x015D, kLow},
    {kUnbalancePercentName, 0x015E, kHigh},
    {kUnbalanceTimeName, 0x015E, kLow},
    {kOverVoltagePercentName, 0x0160, kHigh},
    {kOverVoltageTimeName, 0x0160, kLow},
    {kUnderVoltagePercentName, 0x0161, kHigh},
    {kUnderVoltageTimeName, 0x0161, kLow},
    {kBreakingCurrentName, 0x0162, kWhole},
};

// The registers of a write-multiple-registers frame in `tx`, under their read addresses.
void AddWrittenRegisters(const TxBuffer& tx, RegisterValues& registers) {
    const uint16_t start = static_cast<uint16_t>(tx[2] << 8 | tx[3]);
    const int count = tx[5];
    for (int k = 0; k < count; ++k) {
        const auto at = static_cast<size_t>(7 + 2 * k);
        registers[static_cast<uint16_t>(start - kWriteOffset + k)] =
            static_cast<uint16_t>(tx[at] << 8 | tx[at + 1]);
    }
}

// The registers of a located block response that starts at `first`: address, function and
// byte count, two bytes a register, the CRC.
template <size_t N>
void AddReadRegisters(const std::array<uint8_t, N>& frame, uint16_t first,
                      RegisterValues& registers) {
    static_assert(N >= 7 && (N - 5) % 2 == 0, "a response of whole registers");
    constexpr size_t kCount = (N - 5) / 2;
    for (size_t k = 0; k < kCount; ++k) {
        const size_t at = 3 + 2 * k;
        registers[static_cast<uint16_t>(first + static_cast<uint16_t>(k))] =
            static_cast<uint16_t>(frame[at] << 8 | frame[at + 1]);
    }
}

// The names in the operator's language, as one list.
std::string Joined(const std::vector<std::string>& names) {
    //: Two items of a list of setting names, joined.
    const std::string joining = Tr(QT_TRANSLATE_NOOP("MotorProtector", "%1、%2"));
    std::string text;
    for (const std::string& name : names) {
        const std::string shown = Tr(name.c_str());
        text = text.empty() ? shown : FillIn(joining, {text, shown});
    }
    return text;
}

}  // namespace

RegisterValues SentRegisters(const ProtectionSettings& s, const SettingsWriteResult& written) {
    RegisterValues sent;
    TxBuffer tx{};
    BuildProtectionsFrame(tx, 0, s);
    AddWrittenRegisters(tx, sent);
    BuildBreakingCurrentFrame(tx, 0, s);
    AddWrittenRegisters(tx, sent);
    BuildCtRatioFrame(tx, 0, s);
    AddWrittenRegisters(tx, sent);
    if (!written.StartModeReadFailed) {
        BuildPhaseAndStartFrame(tx, 0, s, written.StartModeByte);
        AddWrittenRegisters(tx, sent);
    }
    BuildRatingsFrame(tx, 0, s);
    AddWrittenRegisters(tx, sent);
    if (!written.OverVoltageSkipped) {
        BuildVoltageProtectionsFrame(tx, 0, s);
        AddWrittenRegisters(tx, sent);
    }
    return sent;
}

RegisterValues ReadBackSettings(CDeviceContext& ctx, ProtectionSettings* decoded, bool* whole) {
    RegisterValues held;
    int answered = 0;
    if (whole) {
        *whole = false;
    }
    if (const auto a = FetchSettingsBlockAFrame(ctx)) {
        AddReadRegisters(*a, kSettingsBlockAStart, held);
        if (decoded) {
            DecodeSettingsBlockA(*decoded, a->data());
        }
        ++answered;
    }
    ctx.Sleep(kBetweenBlocksMs);
    if (ctx.Stopped()) {
        return held;
    }
    if (const auto b = FetchSettingsBlockBFrame(ctx)) {
        AddReadRegisters(*b, kSettingsBlockBStart, held);
        if (decoded) {
            DecodeSettingsBlockB(*decoded, b->data());
        }
        ++answered;
    }
    if (ctx.Stopped()) {
        return held;
    }
    if (const auto c = FetchSettingsBlockCFrame(ctx)) {
        AddReadRegisters(*c, kSettingsBlockCStart, held);
        if (decoded) {
            DecodeSettingsBlockC(*decoded, c->data());
        }
        ++answered;
    }
    ctx.Sleep(kAfterBlockCMs);
    if (whole) {
        *whole = answered == 3;
    }
    return held;
}

void CompareHeldSettings(const RegisterValues& sent, const RegisterValues& held,
                         SettingsWriteReport& report) {
    for (const HeldSetting& setting : kHeldSettings) {
        const auto wanted = sent.find(setting.Register);
        if (wanted == sent.end()) {
            continue;  // its group was not sent
        }
        const auto found = held.find(setting.Register);
        if (found == held.end()) {
            report.Unanswered = true;
        } else if ((wanted->second & setting.Mask) != (found->second & setting.Mask)) {
            report.NotHeld.emplace_back(setting.Name);
        }
    }
}

void WriteAndVerifySettings(CDeviceContext& ctx, ProtectionSettings snapshot,
                            std::function<void(SettingsWriteReport)> done) {
    SettingsWriteReport report;
    report.Written = WriteSettings(ctx, snapshot, {});
    if (report.Written.Stopped) {
        return;  // the program closes: nothing is read back or reported
    }
    ProtectionSettings held = snapshot;
    bool whole = false;
    report.Held = ReadBackSettings(ctx, &held, &whole);
    if (whole) {
        report.HeldSettings = held;
    }
    CompareHeldSettings(SentRegisters(snapshot, report.Written), report.Held, report);
    if (done) {
        ctx.Post([done = std::move(done), report] { done(report); });
    }
}

std::vector<std::string> SettingsWriteMessages(const SettingsWriteReport& report) {
    std::vector<std::string> messages;
    // One outcome, said once: a device that did not answer the read-back confirms nothing,
    // so nothing is said to have been written.
    if (report.Unanswered && report.NotHeld.empty()) {
        messages.push_back(Tr(kWriteUnconfirmedMessage));
        return messages;
    }
    if (report.Written.StartModeReadFailed) {
        messages.push_back(Tr(kStartModeReadFailedMessage));
    }
    if (report.Written.OverVoltageSkipped) {
        messages.push_back(Tr(kOverVoltageRangeMessage));
    }
    if (!report.NotHeld.empty()) {
        messages.push_back(
            FillIn(Tr(report.Unanswered ? kNotHeldRestUnconfirmed : kWriteNotHeldMessage),
                   {Joined(report.NotHeld)}));
    } else if (messages.empty()) {
        messages.push_back(Tr(kWriteDoneMessage));
    }
    return messages;
}

bool SettingsWriteConfirmed(const SettingsWriteReport& report) {
    return !report.Written.StartModeReadFailed && !report.Written.OverVoltageSkipped &&
           report.NotHeld.empty() && !report.Unanswered;
}

}  // namespace mp
