#include "maintenance/Coefficients.h"

#include <algorithm>
#include <array>

#include "device/Scaling.h"
#include "maintenance/Calibration.h"
#include "modbus/RequestBuilder.h"
#include "settings/NumberText.h"

namespace mp {
namespace {

// Time the device is given to store sent coefficients before they are read back.
constexpr uint32_t kStoreMs = 300;

void SendReset(CDeviceContext& ctx, uint16_t word, CoefficientDone done) {
    const int16_t length = BuildCoefficientResetFrame(ctx.Link.Tx(), ctx.Link.SlaveAddress(), word);
    ctx.Link.SendPrivate(length);
    CoefficientCheck check = CoefficientCheck::Unconfirmable;
    if (word == kCurrentCalibrationWord) {
        check = ConfirmCoefficients(ctx, [](const uint8_t* data) {
            const uint8_t reset[9] = {0x27, 0x10, 0x27, 0x10, 0x27, 0x10, 0x00, 0x00, 0x00};
            return std::equal(reset, reset + 9, data + 4);
        });
    }
    if (done) {
        ctx.Post([done = std::move(done), check] { done(check); });
    }
}

}  // namespace

std::string CoefficientCheckText(CoefficientCheck check, const char* done) {
    switch (check) {
        case CoefficientCheck::Confirmed:
            return Tr(done);
        case CoefficientCheck::NotHeld:
            return Tr(QT_TRANSLATE_NOOP(
                "MotorProtector", "系数已发送，但读回的系数与发送的不同：设备未保存这些系数。"));
        case CoefficientCheck::NoReply:
            return Tr(
                QT_TRANSLATE_NOOP("MotorProtector", "系数已发送，但设备无应答，未能读回确认。"));
        case CoefficientCheck::Unconfirmable:
            break;
    }
    return Tr(QT_TRANSLATE_NOOP("MotorProtector",
                                "电压系数已发送；设备不提供电压系数的读回，未能确认。"));
}

CoefficientCheck ConfirmCoefficients(CDeviceContext& ctx,
                                     const std::function<bool(const uint8_t* data)>& holds) {
    ctx.Sleep(kStoreMs);
    if (!ctx.Link.ReadHoldingRegisters(kCoefficientRegister, kCoefficientRegisterCount)) {
        return CoefficientCheck::NoReply;
    }
    // The located response has been moved to position 0.
    return holds(ctx.Link.Rx().data() + 3) ? CoefficientCheck::Confirmed
                                           : CoefficientCheck::NotHeld;
}

CoefficientValues ParseCoefficients(const uint8_t* rx) {
    const uint8_t* data = rx + 3;
    auto word = [data](int k) { return static_cast<uint16_t>(data[2 * k] << 8 | data[2 * k + 1]); };
    CoefficientValues values;
    values.PwmA = word(0);
    values.PwmB = word(1);
    values.PhaseA = {word(2), word(3), word(4)};
    values.PhaseB = {data[10], data[11], data[12]};
    return values;
}

void ApplyCoefficients(CalibrationGrid& grid, const CoefficientValues& values) {
    grid.A[kRowPwm] = FormatInt(values.PwmA);
    grid.B[kRowPwm] = FormatInt(values.PwmB);
    const CalibrationRow phases[3] = {kRowA, kRowB, kRowC};
    for (size_t k = 0; k < 3; ++k) {
        grid.A[phases[k]] = FormatFixed(values.PhaseA[k] / kCoefficientScale, 4);
        grid.B[phases[k]] = FormatInt(values.PhaseB[k]);
    }
}

std::optional<CoefficientValues> FetchCoefficients(CDeviceContext& ctx) {
    if (!ctx.Link.ReadHoldingRegisters(kCoefficientRegister, kCoefficientRegisterCount)) {
        return std::nullopt;
    }
    // The located response has been moved to position 0.
    return ParseCoefficients(ctx.Link.Rx().data());
}

void ReadCoefficients(CDeviceContext& ctx, CalibrationGrid* grid,
                      std::function<void(bool answered)> done) {
    const std::optional<CoefficientValues> values = FetchCoefficients(ctx);
    if (values) {
        ctx.Show([grid, v = *values] {
            if (grid) {
                ApplyCoefficients(*grid, v);
            }
        });
    }
    if (done) {
        ctx.Post([done = std::move(done), answered = values.has_value()] { done(answered); });
    }
}

int16_t BuildCoefficientResetFrame(TxBuffer& tx, uint8_t address, uint16_t word) {
    const uint8_t data[9] = {0x27, 0x10, 0x00, 0x27, 0x10, 0x00, 0x27, 0x10, 0x00};
    return BuildPrivateLong(tx, address, word, data);
}

void ResetCurrentCoefficients(CDeviceContext& ctx, CoefficientDone done) {
    SendReset(ctx, kCurrentCalibrationWord, std::move(done));
}

void ResetVoltageCoefficients(CDeviceContext& ctx, CoefficientDone done) {
    SendReset(ctx, kVoltageCalibrationWord, std::move(done));
}

}  // namespace mp
