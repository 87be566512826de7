#pragma once
// Every message box and modal dialog the handlers open goes through this service, so that
// tests answer them directly instead of racing timers against nested event loops.

#include <QString>
#include <optional>

#include "connection/CommParamValues.h"
#include "connection/ConnectionView.h"
#include "events/EventRecordTexts.h"
#include "line/ConnectionSettings.h"

class QWidget;

namespace mp {

// Inform, EditCommParams and AskConnection come from the connection's dialogs.
class IDialogService : public IConnectionDialogs {
public:
    // Message box with Yes and No buttons and a question icon; true for Yes.
    virtual bool AskYesNo(QWidget* parent, const QString& text) = 0;
    // The usage notes window, modal.
    virtual void ShowUsageNotes(QWidget* parent) = 0;
    // The maintenance password window; nothing when the operator cancels.
    virtual std::optional<QString> AskPassword(QWidget* parent) = 0;
    // The event record window, modal.
    virtual void ShowEventRecords(QWidget* parent, const EventRecordTexts& texts) = 0;
};

}  // namespace mp

namespace mp {

// The real dialogs and message boxes.
class CDialogService : public IDialogService {
public:
    void Inform(QWidget* parent, const QString& text) override;
    bool AskYesNo(QWidget* parent, const QString& text) override;
    void ShowUsageNotes(QWidget* parent) override;
    std::optional<QString> AskPassword(QWidget* parent) override;
    bool EditCommParams(QWidget* parent, CommParamValues& values) override;
    void ShowEventRecords(QWidget* parent, const EventRecordTexts& texts) override;
    bool AskConnection(QWidget* parent, ConnectionSettings& settings) override;
};

}  // namespace mp
