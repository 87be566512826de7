#include "app/FilesWiring.h"

#include "app/MainController.h"
#include "app/MotorProtectorDlg.h"
#include "connection/CommParamChange.h"
#include "connection/CommSetupDlg.h"
#include "files/FilesController.h"
#include "line/IoWorker.h"

namespace mp {

std::unique_ptr<CFilesController> InstallFiles(CMotorProtectorDlg& window,
                                               CMainController& controller, IFileWindows& dialogs,
                                               QSettings* store) {
    FilesHost host;
    host.Window = &window;
    host.Settings = &window.Fields().Settings;
    host.StartModeSelection = &window.Fields().StartModeSelection;
    host.Live = &window.Fields().Live;
    // Every file function that changes or takes the settings takes the fields first: refused,
    // with the operator told, while a read is about to replace them.
    host.TakeFields = [&window, &controller] {
        return controller.Allowed(OperatorAction::EditSettings) && window.TakeFields();
    };
    // Values put in from a file or from the device replace what was typed, and are what closing
    // the window compares the fields with.
    host.ShowFields = [&window] {
        window.ShowFields(ShowMode::ReplaceTyped);
        window.MarkSettingsHeld();
    };
    host.PortOpen = [&controller] { return controller.PortOpen(); };
    host.RunOnDevice = [&controller](std::function<void(CDeviceContext&)> job) {
        controller.Queue(OperatorAction::CompareSettings, std::move(job));
    };
    host.Line = [&controller] {
        const ConnectionSettings& connection = controller.Connection();
        return DeviceLine{connection.PortText, connection.SlaveAddress, connection.BaudRate};
    };
    host.Parity = [&controller] { return controller.Connection().ParityCode; };
    host.PortName = [&controller] {
        const ConnectionSettings& connection = controller.Connection();
        // The built-in simulated device under the name the start-up dialog's port list gives it,
        // in the window's language.
        return connection.Simulated() ? CCommSetupDlg::tr("内置模拟设备") : connection.PortText;
    };
    host.MayReadForReport = [&controller] {
        return controller.Allowed(OperatorAction::MakeReport);
    };
    host.RunReportRead = [&controller](std::function<void(CDeviceContext&)> job) {
        controller.Queue(OperatorAction::MakeReport, std::move(job));
    };
    host.ReadCommParams = &FetchDeviceCommParams;
    host.Polling = [&controller] {
        return controller.Operation().Mode() == OperationState::Polling;
    };

    auto files = std::make_unique<CFilesController>(std::move(host), dialogs, store);
    CFilesController* target = files.get();
    QObject::connect(&controller, &CMainController::SettingsWritten, target,
                     &CFilesController::OnSettingsWritten);
    QObject::connect(&controller, &CMainController::DeviceWritten, target,
                     &CFilesController::OnDeviceWritten);
    return files;
}

}  // namespace mp
