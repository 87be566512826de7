#include "maintenance/Calibration.h"

#include <utility>

#include "modbus/RequestBuilder.h"
#include "settings/NumberText.h"

namespace mp {
namespace {

constexpr int kPhaseRows = 3;

void SendAndPost(CDeviceContext& ctx, int16_t length, std::function<void()> done) {
    ctx.Link.SendPrivate(length);
    if (done) {
        ctx.Post(std::move(done));
    }
}

void Calibrate(CDeviceContext& ctx, uint16_t word, const std::array<LineFit, 3>& fits,
               std::function<void()> done) {
    const int16_t length =
        BuildCalibrationFrame(ctx.Link.Tx(), ctx.Link.SlaveAddress(), word, fits);
    SendAndPost(ctx, length, std::move(done));
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
        // The device keeps a × 10000 in 16 bits and b in one byte: a line it cannot store
        // would calibrate the measurement to something else.
        const double scaledSlope = fit->A * 10000.0;
        const int32_t intercept = InterceptInteger(fit->B);
        if (!(scaledSlope >= 0.0 && scaledSlope < 65536.0) || intercept < -128 ||
            intercept > 255) {
            return FillIn(
                Tr(QT_TRANSLATE_NOOP("MotorProtector",
                                     "%1的系数a=%2、b=%3超出设备可存的范围（a 0-6.5535，b -128-255）")),
                {Tr(CalibrationRowName(row).c_str()), FormatFixed(fit->A, 4),
                 FormatFixed(fit->B, 4)});
        }
        fitted[static_cast<size_t>(row)] = *fit;
    }
    for (int row = 0; row < kPhaseRows; ++row) {
        const auto k = static_cast<size_t>(row);
        grid.A[k] = FormatFixed(fitted[k].A, 4);
        grid.B[k] = FormatFixed(fitted[k].B, 4);
    }
    fits = fitted;
    return std::nullopt;
}

int16_t BuildCalibrationFrame(TxBuffer& tx, uint8_t address, uint16_t word,
                              const std::array<LineFit, 3>& fits) {
    uint8_t data[9];
    for (size_t row = 0; row < fits.size(); ++row) {
        // Out-of-range values are not refused: only their low bits travel.
        const auto a = static_cast<uint32_t>(TruncateToInt(fits[row].A * 10000.0));
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

void CalibrateCurrent(CDeviceContext& ctx, std::array<LineFit, 3> fits,
                      std::function<void()> done) {
    Calibrate(ctx, kCurrentCalibrationWord, fits, std::move(done));
}

void CalibrateVoltage(CDeviceContext& ctx, std::array<LineFit, 3> fits,
                      std::function<void()> done) {
    Calibrate(ctx, kVoltageCalibrationWord, fits, std::move(done));
}

void SendPwmOutput(CDeviceContext& ctx, std::string aText, std::string bText,
                   std::function<void()> done) {
    const int16_t length = BuildPwmFrame(ctx.Link.Tx(), ctx.Link.SlaveAddress(), aText, bText);
    SendAndPost(ctx, length, std::move(done));
}

}  // namespace mp
