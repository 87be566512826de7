#pragma once
// The main window's own dialogs (usage notes, password, device parameters, event records,
// connection), beside the message boxes and file choosers of the dialog service, so that
// tests answer them all from one script.

#include <QString>
#include <optional>

#include "app/ConnectionSettings.h"
#include "dialogs/DialogService.h"
#include "events/EventRecordTexts.h"

class QWidget;

namespace mp {

// The device's address and baud rate as the parameter-change dialog shows and returns them.
struct CommParamValues {
    int Address = 0;      // "子机号"
    QString BaudText;     // "波特率" drop-down text
    QString PortText;     // "串行口" (display only)
    QString ParityText;   // "校验位" (display only)
    int NewBaudRate = 0;  // the rate chosen, one of the five, after OK
};

class IMainDialogs : public virtual IDialogService {
public:
    // The usage notes window, modal.
    virtual void ShowUsageNotes(QWidget* parent) = 0;
    // The maintenance password window; nothing when the operator cancels.
    virtual std::optional<QString> AskPassword(QWidget* parent) = 0;
    // The device parameter-change window, filled from `values`; true and the new values on OK.
    virtual bool EditCommParams(QWidget* parent, CommParamValues& values) = 0;
    // The event record window, modal.
    virtual void ShowEventRecords(QWidget* parent, const EventRecordTexts& texts) = 0;
    // The start-up dialog again, showing `settings`; true and the new choice on OK.
    virtual bool AskConnection(QWidget* parent, ConnectionSettings& settings) = 0;
};

}  // namespace mp
