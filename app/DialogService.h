#pragma once
// The main window's own dialogs (usage notes, password, event records), beside the
// connection's (device parameters, connection) and the message boxes and file choosers of the
// dialog service, so that tests answer them all from one script.

#include <QString>
#include <optional>

#include "connection/ConnectionView.h"
#include "events/EventRecordTexts.h"

class QWidget;

namespace mp {

class IMainDialogs : public virtual IConnectionDialogs {
public:
    // The usage notes window, modal.
    virtual void ShowUsageNotes(QWidget* parent) = 0;
    // The maintenance password window; nothing when the operator cancels.
    virtual std::optional<QString> AskPassword(QWidget* parent) = 0;
    // The event record window, modal.
    virtual void ShowEventRecords(QWidget* parent, const EventRecordTexts& texts) = 0;
};

}  // namespace mp
