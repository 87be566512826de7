#pragma once
// The comparison window: one table of the device's, the window's (or file's) and the factory
// values, the differing rows marked in words and colour, the file's write records, and the
// buttons that take one side into the window.

#include <QDialog>

#include "files/SettingsComparison.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace mp {

class CComparisonDlg : public QDialog {
    Q_OBJECT
public:
    explicit CComparisonDlg(const ComparisonView& view, QWidget* parent = nullptr);

    ComparisonChoice Choice() const { return Choice_; }

    // The colour behind a differing row.
    static QColor DifferenceColour();

private:
    void FillTable(const ComparisonView& view);
    void Choose(ComparisonChoice choice);

    QTableWidget* Table_ = nullptr;
    ComparisonChoice Choice_ = ComparisonChoice::Close;
};

}  // namespace mp
