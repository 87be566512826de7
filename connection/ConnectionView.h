#pragma once
// What the connection shows in the window of a relay: the status line, the link lamp with its
// words, the line in use, the connection summary kept with the fields, and the reconnect
// command's enabled state.

#include <QString>
#include <functional>
#include <string>

#include "connection/LinkLamp.h"
#include "dialogs/DialogService.h"

class QWidget;

namespace mp {

struct CommParamValues;
struct ConnectionSettings;

class IConnectionView {
public:
    virtual ~IConnectionView() = default;
    // The window dialogs and message boxes are opened over.
    virtual QWidget* DialogParent() = 0;
    // The status line; `say` forms the text in the window's language, again after a change
    // of it.
    virtual void SetStatus(std::function<QString()> say) = 0;
    virtual void SetLinkStatus(LinkState state, const QString& text) = 0;
    // The status bar's field for the line in use.
    virtual void SetLineText(std::function<QString()> say) = 0;
    // The address, port, baud and parity in words, kept with the fields, and every bound
    // value shown again.
    virtual void ShowConnectionSummary(const std::string& summary) = 0;
    virtual void SetReconnectEnabled(bool enabled) = 0;
};

// The windows the connection opens, beside the message boxes of the dialog service.
class IConnectionDialogs : public virtual IDialogService {
public:
    // The device parameter-change window, filled from `values`; true and the new values on OK.
    virtual bool EditCommParams(QWidget* parent, CommParamValues& values) = 0;
    // The start-up dialog again, showing `settings`; true and the new choice on OK.
    virtual bool AskConnection(QWidget* parent, ConnectionSettings& settings) = 0;
};

}  // namespace mp
