#pragma once
// "审计日志": the entries of one audit log in a table (time in local time, who, where, the
// operation, its outcome and the change condensed), filtered by text, feeder tag, operation
// and outcome, and exported as CSV as shown. The log is read when the window opens and on
// "刷新"; the window never writes to it.

#include <QDialog>
#include <QString>
#include <QVector>

#include "audit/AuditLog.h"
#include "audit/AuditView.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace mp {

class IDialogService;

class CAuditLogDlg : public QDialog {
    Q_OBJECT
public:
    CAuditLogDlg(const QString& path, IDialogService& dialogs, QWidget* parent = nullptr);

    // The menu item that opens the viewer, in the window's language: "审计日志...".
    static QString MenuText();
    // Opens the viewer of the log at `path` beside `parent`, closed with it.
    static CAuditLogDlg* Show(const QString& path, IDialogService& dialogs, QWidget* parent);

    const QString& Path() const { return Path_; }
    // Reads the log again and shows it under the filter chosen.
    void Reload();
    // The filter as the operator chose it.
    AuditFilter Filter() const;
    // The rows shown, as their texts, in the table's order.
    QVector<QStringList> ShownRows() const;
    QStringList Heading() const;
    // Writes the rows shown to a CSV file the operator picks.
    void ExportCsv();

private:
    void FillChoices();
    void ShowEntries();

    QString Path_;
    IDialogService& Dialogs_;
    QVector<AuditEntry> Entries_;
    int Skipped_ = 0;
    QLineEdit* TextFilter_ = nullptr;
    QComboBox* TagFilter_ = nullptr;
    QComboBox* OperationFilter_ = nullptr;
    QComboBox* OutcomeFilter_ = nullptr;
    QTableWidget* Table_ = nullptr;
    QLabel* Summary_ = nullptr;
};

}  // namespace mp
