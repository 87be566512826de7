#pragma once
// What the plant's batch windows share: the feeders to work on (all ticked at first), a
// progress bar, Start, Stop (ends after the relays being read) and Close, and a table of the
// outcome per feeder. The work itself is the subclass's engine; this window only shows it.

#include <QDialog>
#include <QVector>

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QVBoxLayout;

namespace mp {

class IDialogService;
struct Plant;

class CFeederRunDlg : public QDialog {
    Q_OBJECT
public:
    CFeederRunDlg(const Plant& plant, IDialogService& dialogs, QWidget* parent = nullptr);

    // The feeders ticked, as indexes into the plant's feeders.
    QVector<int> ChosenFeeders() const;
    // Ticks exactly `feeders` (indexes into the plant's feeders).
    void ChooseFeeders(const QVector<int>& feeders);

    QListWidget* Feeders() const { return Feeders_; }
    QPushButton* StartButton() const { return Start_; }
    QPushButton* StopButton() const { return Stop_; }
    QProgressBar* Progress() const { return Progress_; }
    QTableWidget* Table() const { return Table_; }
    // The summary under the table.
    QLabel* Summary() const { return Summary_; }

protected:
    // Starts the work on the chosen feeders; false when it did not start.
    virtual bool StartWork(const QVector<int>& feeders) = 0;
    virtual void StopWork() = 0;
    virtual void RetranslateTexts();

    // Called by the subclass as the work goes on.
    void ShowProgress(int done, int total);
    void ShowFinished(const QString& summary);
    void FillTable(const QStringList& header, const QList<QStringList>& rows);

    void changeEvent(QEvent* event) override;
    void reject() override;

    QVBoxLayout* Extra() const { return Extra_; }  // where a subclass puts its own fields
    IDialogService& Dialogs_;

private:
    void OnStart();

    QLabel* FeedersLabel_ = nullptr;
    QListWidget* Feeders_ = nullptr;
    QVBoxLayout* Extra_ = nullptr;
    QProgressBar* Progress_ = nullptr;
    QPushButton* Start_ = nullptr;
    QPushButton* Stop_ = nullptr;
    QPushButton* Close_ = nullptr;
    QTableWidget* Table_ = nullptr;
    QLabel* Summary_ = nullptr;
    bool Running_ = false;
};

}  // namespace mp
