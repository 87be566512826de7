#include "maintenance/Calibration.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "device/Scaling.h"
#include "maintenance/Coefficients.h"
#include "modbus/RequestBuilder.h"
#include "settings/NumberText.h"

namespace mp {
namespace {

constexpr int kPhaseRows = 3;

// Sends the private frame built in TxBuffer, confirms it with `holds` when the device can
// give the values back, and posts `done` with how it went.
void SendAndConfirm(CDeviceContext& ctx, int16_t length,
                    const std::function<bool(const uint8_t* data)>& holds, CoefficientDone done) {
    ctx.Link.SendPrivate(length);
    const CoefficientCheck check =
        holds ? ConfirmCoefficients(ctx, holds) : CoefficientCheck::Unconfirmable;
    if (done) {
        ctx.Post([done = std::move(done), check] { done(check); });
    }
}

void Calibrate(CDeviceContext& ctx, uint16_t word, const std::array<LineFit, 3>& fits,
               CoefficientDone done) {
    const int16_t length =
        BuildCalibrationFrame(ctx.Link.Tx(), ctx.Link.SlaveAddress(), word, fits);
    // The phase coefficients sent, as the seven registers give them back from data byte 4.
    std::array<uint8_t, 9> sent{};
    std::copy(ctx.Link.Tx().begin() + 7, ctx.Link.Tx().begin() + 16, sent.begin());
    std::function<bool(const uint8_t*)> holds;
    if (word == kCurrentCalibrationWord) {
        holds = [sent](const uint8_t* data) {
            const uint8_t held[9] = {data[4],  data[5], data[10], data[6], data[7],
                                     data[11], data[8], data[9],  data[12]};
            return std::equal(sent.begin(), sent.end(), held);
        };
    }
    SendAndConfirm(ctx, length, holds, std::move(done));
}

}  // namespace

std::optional<LineFit> FitCoefficients(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    const int64_t d = int64_t{x1} - x2;
    if (d == 0) {
        return std::nullopt;
    }
    // X1·(Y1 + Y2) − Y1·(X1 + X2) equals X1·Y2 − X2·Y1; each product fits in 64 bits.
    const int64_t numerator = int64_t{x1} * y2 - int64_t{x2} * y1;
    const double dd = static_cast<double>(d);
    return LineFit{static_cast<double>(int64_t{y1} - y2) / dd, static_cast<double>(numerator) / dd};
}

int32_t SlopeInteger(double a) {
    return TruncateToInt(std::floor(a * kCoefficientScale + 0.5));
}

int32_t InterceptInteger(double x) {
    const int32_t t = TruncateToInt(x + 1.0);
    if (t - x < 0.5) {
        return t;
    }
    return TruncateToInt(x);
}

std::string CalibrationRowName(int row) {
    switch (row) {
        case kRowA:
            return QT_TRANSLATE_NOOP("MotorProtector", "A/AB相");
        case kRowB:
            return QT_TRANSLATE_NOOP("MotorProtector", "B/BC相");
        case kRowC:
            return QT_TRANSLATE_NOOP("MotorProtector", "C/CA相");
        case kRowPwm:
            return "PWM";
        default:
            return {};
    }
}

std::optional<std::string> PrepareCalibration(CalibrationGrid& grid, std::array<LineFit, 3>& fits) {
    std::array<LineFit, 3> fitted{};
    for (int row = 0; row < kPhaseRows; ++row) {
        const auto& p = grid.Points[static_cast<size_t>(row)];
        const std::optional<LineFit> fit = FitCoefficients(p[kX1], p[kY1], p[kX2], p[kY2]);
        if (!fit) {
            return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "%1的X1与X2相同，无法计算系数")),
                          {Tr(CalibrationRowName(row).c_str())});
        }
        // The device keeps a × 10000 in 16 bits and b in one unsigned byte (it gives 0xFE
        // back as 254): a line it cannot store would calibrate the measurement to something
        // else.
        const double scaledSlope = fit->A * kCoefficientScale;
        const int32_t intercept = InterceptInteger(fit->B);
        if (!(scaledSlope >= 0.0 && SlopeInteger(fit->A) <= 65535) || intercept < 0 ||
            intercept > 255) {
            return FillIn(Tr(QT_TRANSLATE_NOOP(
                              "MotorProtector",
                              "%1的系数a=%2、b=%3超出设备可存的范围（a 0-6.5535，b 0-255）")),
                          {Tr(CalibrationRowName(row).c_str()), FormatFixed(fit->A, 4),
                           FormatFixed(fit->B, 4)});
        }
        fitted[static_cast<size_t>(row)] = *fit;
    }
    // The grid shows what the device will hold: a to four places, b as the whole number
    // the device stores.
    for (int row = 0; row < kPhaseRows; ++row) {
        const auto k = static_cast<size_t>(row);
        grid.A[k] = FormatFixed(SlopeInteger(fitted[k].A) / kCoefficientScale, 4);
        grid.B[k] = FormatInt(InterceptInteger(fitted[k].B));
    }
    fits = fitted;
    return std::nullopt;
}

int16_t BuildCalibrationFrame(TxBuffer& tx, uint8_t address, uint16_t word,
                              const std::array<LineFit, 3>& fits) {
    uint8_t data[9];
    for (size_t row = 0; row < fits.size(); ++row) {
        // Out-of-range values are refused before (PrepareCalibration): only their low bits
        // would travel.
        const auto a = static_cast<uint32_t>(SlopeInteger(fits[row].A));
        const auto b = static_cast<uint32_t>(InterceptInteger(fits[row].B));
        data[3 * row] = static_cast<uint8_t>(a >> 8);
        data[3 * row + 1] = static_cast<uint8_t>(a);
        data[3 * row + 2] = static_cast<uint8_t>(b);
    }
    return BuildPrivateLong(tx, address, word, data);
}

std::optional<std::string> CheckPwmCoefficients(const std::string& aText,
                                                const std::string& bText) {
    const std::pair<const char*, const std::string*> fields[] = {
        {QT_TRANSLATE_NOOP("MotorProtector", "PWM a系数"), &aText},
        {QT_TRANSLATE_NOOP("MotorProtector", "PWM b系数"), &bText}};
    for (const auto& [name, text] : fields) {
        const std::optional<double> number = WholeTextNumber(*text);
        if (!number || text->find('.') != std::string::npos || *number < 0 || *number > 65535) {
            return FillIn(Tr(QT_TRANSLATE_NOOP("MotorProtector", "%1的值“%2”不是0-65535的整数")),
                          {Tr(name), *text});
        }
    }
    return std::nullopt;
}

int16_t BuildPwmFrame(TxBuffer& tx, uint8_t address, const std::string& aText,
                      const std::string& bText) {
    const auto a = static_cast<uint32_t>(AtoI(aText));
    const auto b = static_cast<uint32_t>(AtoI(bText));
    const uint8_t data[4] = {static_cast<uint8_t>(a >> 8), static_cast<uint8_t>(a),
                             static_cast<uint8_t>(b >> 8), static_cast<uint8_t>(b)};
    return BuildPrivateShort(tx, address, kPwmOutputWord, data);
}

void CalibrateCurrent(CDeviceContext& ctx, std::array<LineFit, 3> fits, CoefficientDone done) {
    Calibrate(ctx, kCurrentCalibrationWord, fits, std::move(done));
}

void CalibrateVoltage(CDeviceContext& ctx, std::array<LineFit, 3> fits, CoefficientDone done) {
    Calibrate(ctx, kVoltageCalibrationWord, fits, std::move(done));
}

void SendPwmOutput(CDeviceContext& ctx, std::string aText, std::string bText,
                   CoefficientDone done) {
    const int16_t length = BuildPwmFrame(ctx.Link.Tx(), ctx.Link.SlaveAddress(), aText, bText);
    const uint8_t sent[4] = {ctx.Link.Tx()[7], ctx.Link.Tx()[8], ctx.Link.Tx()[9],
                             ctx.Link.Tx()[10]};
    SendAndConfirm(
        ctx, length, [sent](const uint8_t* data) { return std::equal(sent, sent + 4, data); },
        std::move(done));
}

}  // namespace mp
