#pragma once
// The comparison window and the report's print dialog, with Qt's standard message boxes and
// file choosers.

#include "dialogs/StandardDialogs.h"
#include "files/FileWindows.h"

namespace mp {

class CStandardFileWindows : public IFileWindows, public CStandardDialogs {
public:
    ComparisonChoice ShowComparison(QWidget* parent, const ComparisonView& view) override;
    bool PrintReport(QWidget* parent, const QString& html) override;
};

}  // namespace mp
