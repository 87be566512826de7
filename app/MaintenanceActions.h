#pragma once
// The maintenance frame of the main window: the password, the current and voltage
// calibrations, the PWM output, and the coefficients read back or reset.

#include <QObject>
#include <array>

#include "app/WindowActions.h"
#include "maintenance/Calibration.h"
#include "maintenance/Coefficients.h"

namespace mp {

class CMaintenanceActions : public QObject {
    Q_OBJECT
public:
    explicit CMaintenanceActions(WindowActions actions, QObject* parent = nullptr);

    void Unlock();
    void CalibrateCurrent();
    void CalibrateVoltage();
    void SendPwmOutput();
    void ReadCoefficients();
    void ResetCurrentCoefficients();
    void ResetVoltageCoefficients();

signals:
    void DeviceWritten(const mp::DeviceWrite& write);
    // The coefficients read back from the device, as the grid now shows them.
    void CoefficientsRead(const mp::CalibrationGrid& grid);

private:
    // Fits the grid's phase rows and queues the current or voltage calibration frame.
    void Calibrate(void (*calibrate)(CDeviceContext&, std::array<LineFit, 3>, CoefficientDone),
                   DeviceWriteKind kind, const char* doneText);
    void ResetCoefficients(void (*reset)(CDeviceContext&, CoefficientDone), DeviceWriteKind kind);

    WindowActions A_;
};

}  // namespace mp
