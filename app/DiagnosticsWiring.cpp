#include "app/DiagnosticsWiring.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHelpEvent>
#include <QToolTip>
#include <cstdlib>

#include "app/MainController.h"
#include "app/MotorProtectorDlg.h"
#include "diagnostics/Diagnostics.h"
#include "dialogs/DialogService.h"

namespace mp {
namespace {

// Shows the line's words and the monitor's counters as the link lamp's tooltip, counted at the
// moment the tooltip opens.
class CCountersTooltip : public QObject {
public:
    CCountersTooltip(QWidget* lamp, const CDiagnostics& diagnostics)
        : QObject(lamp), Lamp_(lamp), Diagnostics_(diagnostics) {
        lamp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == Lamp_ && event->type() == QEvent::ToolTip) {
            const auto* help = static_cast<QHelpEvent*>(event);
            QToolTip::showText(
                help->globalPos(),
                Lamp_->toolTip() + QStringLiteral("\n") + Diagnostics_.CountersTooltip(), Lamp_);
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget* Lamp_;
    const CDiagnostics& Diagnostics_;
};

}  // namespace

std::unique_ptr<CDiagnostics> InstallDiagnostics(CMotorProtectorDlg& window,
                                                 CMainController& controller,
                                                 IDialogService& dialogs) {
    DiagnosticsHost host;
    host.Window = &window;
    host.Link = &controller.Link();
    host.CtRatio = [&window] { return std::atoi(window.Fields().Settings.CtRatio.c_str()); };
    host.Detach = [&controller] { controller.Shutdown(); };
    host.Scan.MayStart = [&window, &controller, &dialogs] {
        if (!controller.Allowed(OperatorAction::ScanBus)) {
            return false;
        }
        if (!controller.PortOpen()) {
            dialogs.Inform(&window, QCoreApplication::translate("mp::DiagnosticsWiring",
                                                                "串口未打开，无法搜索设备。"));
            return false;
        }
        return true;
    };
    host.Scan.RunOnDevice = [&controller](std::function<void(CDeviceContext&)> job) {
        controller.Queue(OperatorAction::ScanBus, std::move(job));
    };
    host.Scan.Line = [&controller] { return controller.Connection().Line(); };
    auto diagnostics = std::make_unique<CDiagnostics>(std::move(host), dialogs);
    CDiagnostics* target = diagnostics.get();
    // "连接" takes the found device's line; the counters start again with it.
    target->SetConnect(
        [&controller, target](const FoundDevice& device, std::function<void(bool)> done) {
            const bool idle = controller.Operation().State() == OperationState::Idle;
            controller.UseLine(static_cast<uint8_t>(device.Address), device.BaudRate, device.Parity,
                               std::move(done));
            if (idle) {
                target->OnConnected();
            }
        });
    // The link lamp opens the monitor and shows its counters.
    QObject::connect(window.LinkLamp(), &CLinkLamp::clicked, target, &CDiagnostics::OpenMonitor);
    new CCountersTooltip(window.LinkLamp(), *target);
    return diagnostics;
}

}  // namespace mp
