#pragma once
// The comparison window: one table of the device's, the window's (or file's) and the factory
// values, the differing rows marked in words and colour, the file's write records, and the
// buttons that take one side into the window. Its words follow a language switch while it is
// open; the rows and the selection stay.

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

protected:
    void changeEvent(QEvent* event) override;

private:
    void FillTable();
    void RetranslateTexts();
    void FitTable();
    void Choose(ComparisonChoice choice);

    ComparisonView View_;
    QLabel* DeviceLabel_ = nullptr;
    QLabel* SummaryLabel_ = nullptr;
    QLabel* RecordsLabel_ = nullptr;
    QTableWidget* Table_ = nullptr;
    QPushButton* TakeDevice_ = nullptr;
    QPushButton* TakeFile_ = nullptr;
    QPushButton* Close_ = nullptr;
    ComparisonChoice Choice_ = ComparisonChoice::Close;
};

}  // namespace mp
