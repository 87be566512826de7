#pragma once
// The main window's handlers: they take and show the window's fields, ask the operator what
// must be asked, queue device operations on the I/O worker and apply what comes back.

#include <QObject>
#include <memory>

#include "app/ConnectionSettings.h"

namespace mp {

class CMotorProtectorDlg;
class IDialogService;

class CMainController : public QObject {
    Q_OBJECT
public:
    CMainController(CMotorProtectorDlg& window, IDialogService& dialogs,
                    const ConnectionSettings& connection, QObject* parent = nullptr);
    ~CMainController() override;

    // The window's initialisation: factory values, fields shown, port opened.
    void Start();

private:
    CMotorProtectorDlg& Window_;
    IDialogService& Dialogs_;
    ConnectionSettings Connection_;
};

}  // namespace mp
