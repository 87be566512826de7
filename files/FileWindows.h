#pragma once
// The file functions' own windows, beside the message boxes and file choosers of the dialog
// service, so that tests answer them from the same script.

#include <QString>

#include "dialogs/DialogService.h"
#include "files/SettingsComparison.h"

class QWidget;

namespace mp {

class IFileWindows : public virtual IDialogService {
public:
    // The comparison window, modal; what the operator chose.
    virtual ComparisonChoice ShowComparison(QWidget* parent, const ComparisonView& view) = 0;
    // The system's print dialog, then the report on the printer chosen; false when cancelled.
    virtual bool PrintReport(QWidget* parent, const QString& html) = 0;
};

}  // namespace mp
