#pragma once
// The main window's own dialogs, with Qt's standard message boxes and file choosers.

#include "app/DialogService.h"
#include "dialogs/StandardDialogs.h"

namespace mp {

class CMainDialogs : public IMainDialogs, public CStandardDialogs {
public:
    void ShowUsageNotes(QWidget* parent) override;
    std::optional<QString> AskPassword(QWidget* parent) override;
    bool EditCommParams(QWidget* parent, CommParamValues& values) override;
    void ShowEventRecords(QWidget* parent, const EventRecordTexts& texts) override;
    bool AskConnection(QWidget* parent, ConnectionSettings& settings) override;
};

}  // namespace mp
