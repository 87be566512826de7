#include "maintenance/Coefficients.h"

#include <algorithm>
#include <array>

#include "maintenance/Calibration.h"
#include "modbus/RequestBuilder.h"
#include "settings/NumberText.h"

namespace mp {
namespace {

constexpr size_t kResponseLength = 5 + 2 * kCoefficientRegisterCount;

void SendReset(CDeviceContext& ctx, uint16_t word, std::function<void()> done) {
    const int16_t length = BuildCoefficientResetFrame(ctx.Link.Tx(), ctx.Link.SlaveAddress(), word);
    ctx.Link.SendPrivate(length);
    if (done) {
        ctx.Post(std::move(done));
    }
}

}  // namespace

void DecodeCoefficients(CalibrationGrid& grid, const uint8_t* rx) {
    const uint8_t* data = rx + 3;
    auto word = [data](int k) { return int{data[2 * k]} << 8 | data[2 * k + 1]; };
    grid.A[kRowPwm] = FormatInt(word(0));
    grid.B[kRowPwm] = FormatInt(word(1));
    grid.A[kRowA] = FormatInt(word(2));
    grid.A[kRowB] = FormatInt(word(3));
    grid.A[kRowC] = FormatInt(word(4));
    grid.B[kRowA] = FormatInt(data[10]);
    grid.B[kRowB] = FormatInt(data[11]);
    grid.B[kRowC] = FormatInt(data[12]);
}

void ReadCoefficients(CDeviceContext& ctx, CalibrationGrid* grid,
                      std::function<void(bool answered)> done) {
    const bool answered =
        ctx.Link.ReadHoldingRegisters(kCoefficientRegister, kCoefficientRegisterCount);
    if (answered) {
        // The located response has been moved to position 0.
        std::array<uint8_t, kResponseLength> response{};
        const RxBuffer& rx = ctx.Link.Rx();
        std::copy(rx.begin(), rx.begin() + kResponseLength, response.begin());
        ctx.Show([grid, response] {
            if (grid) {
                DecodeCoefficients(*grid, response.data());
            }
        });
    }
    if (done) {
        ctx.Post([done = std::move(done), answered] { done(answered); });
    }
}

int16_t BuildCoefficientResetFrame(TxBuffer& tx, uint8_t address, uint16_t word) {
    const uint8_t data[9] = {0x27, 0x10, 0x00, 0x27, 0x10, 0x00, 0x27, 0x10, 0x00};
    return BuildPrivateLong(tx, address, word, data);
}

void ResetCurrentCoefficients(CDeviceContext& ctx, std::function<void()> done) {
    SendReset(ctx, kCurrentCalibrationWord, std::move(done));
}

void ResetVoltageCoefficients(CDeviceContext& ctx, std::function<void()> done) {
    SendReset(ctx, kVoltageCalibrationWord, std::move(done));
}

}  // namespace mp
