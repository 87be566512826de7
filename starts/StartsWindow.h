#pragma once
// "起动记录": the kept starts of one relay, newest first, with their figures; one is the
// baseline. Selecting two or more and "比较" overlays their highest phase current on one
// chart, aligned at their start, and lists their figures with the change against the
// baseline.

#include <QWidget>
#include <functional>

#include "starts/Comtrade.h"
#include "starts/StartHistory.h"

class QChart;
class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace mp {

class IDialogService;

class CStartsWindow : public QWidget {
    Q_OBJECT
public:
    CStartsWindow(CStartHistory& history, IDialogService& dialogs, QWidget* parent = nullptr);

    // Reads the list again from the history.
    void Reload();
    // Selects the starts `ids` in the list.
    void Select(const QStringList& ids);
    QStringList SelectedIds() const;
    // Compares the selected starts (two or more) on the chart and in the table.
    void Compare();
    // The ids the chart and the table show now.
    const QStringList& Compared() const { return Compared_; }

    // "+12 %", "−0.8 s": the change texts of the table.
    static QString PercentChange(double percent);
    static QString SecondsChange(double seconds);
    static QString PointsChange(double points);

signals:
    void ExportRequested(const QString& id, mp::ComtradeFormat format);

protected:
    void changeEvent(QEvent* event) override;

private:
    void RetranslateTexts();
    void MarkBaseline();
    void DeleteSelected();
    void FillCompareTable();
    void FillChart();

    CStartHistory& History_;
    IDialogService& Dialogs_;
    QStringList Compared_;
    QLabel* FolderLabel_ = nullptr;
    QTableWidget* List_ = nullptr;
    QPushButton* BaselineButton_ = nullptr;
    QPushButton* DeleteButton_ = nullptr;
    QPushButton* CompareButton_ = nullptr;
    QComboBox* FormatBox_ = nullptr;
    QPushButton* ExportButton_ = nullptr;
    QChart* Chart_ = nullptr;
    QChartView* ChartView_ = nullptr;
    QTableWidget* CompareTable_ = nullptr;
};

}  // namespace mp
