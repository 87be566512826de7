#pragma once
// What the handlers of the main window share: the window, its dialogs, the relay it shows,
// and the queue that judges and runs their operations on the line.

#include <QString>
#include <functional>

#include "app/DialogService.h"
#include "app/MotorProtectorDlg.h"
#include "relay/DeviceWriteLog.h"
#include "relay/OperationQueue.h"
#include "relay/Relay.h"

namespace mp {

struct WindowActions {
    CMotorProtectorDlg& Window;
    IMainDialogs& Dialogs;
    IOperationQueue& Operations;
    CRelay& Relay;
    // Every button and menu item enabled again as the operation state allows.
    std::function<void()> UpdateControls;

    void Inform(const QString& text) const { Dialogs.Inform(&Window, text); }
    // Whether the relay's audit log can take the change about to be started; the operator is
    // told why not, and nothing is sent.
    bool AuditAdmits() const {
        QString message;
        if (Relay.Audit().Admit(&message)) {
            return true;
        }
        Inform(message);
        return false;
    }
    // A write to the relay at its present address has ended with `outcome`.
    DeviceWrite WriteOf(DeviceWriteKind kind, DeviceWriteOutcome outcome) const {
        DeviceWrite write;
        write.Kind = kind;
        write.Outcome = outcome;
        write.Address = Relay.Address();
        return write;
    }
};

}  // namespace mp
