#pragma once
// "通讯监视": one row per exchange, the counters since connect or reset, pause, clear,
// filter and "保存...". Non-modal; refreshes from the exchange log a few times a second while
// shown, so the I/O worker never waits for it. Follows a language switch at once, rows
// included; a saved file is in the language the window shows.

#include <QWidget>
#include <functional>

#include "diagnostics/ExchangeLog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTableView;
class QTimer;

namespace mp {

class CMonitorModel;
class IDialogService;

class CMonitorWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 250;

    CMonitorWindow(CExchangeLog& log, IDialogService& dialogs, QWidget* parent = nullptr);

    // The CT ratio the currents are decoded with (0: unknown, raw values shown).
    void SetCtRatioSource(std::function<int()> source) { CtRatio_ = std::move(source); }

    CMonitorModel& Model() { return *Model_; }
    QTableView& Table() { return *Table_; }
    bool Paused() const;

    // The counters as a few lines of text (the link lamp's tooltip).
    static QString CountersText(const ExchangeCounters& counters);
    QString CountersText() const;

public slots:
    // Shows the window (or brings it to the front) and takes what is new.
    void OpenMonitor();
    // Takes what the log holds that the table does not yet show (unless paused).
    void Refresh();
    // "保存...": the shown rows to a CSV or text file.
    void Save();

protected:
    void changeEvent(QEvent* event) override;

private:
    // The texts set in code, in the window's language.
    void RetranslateTexts();
    void RetranslatePause();
    // An operation's name in the window's language.
    static QString OperationText(const std::string& key, const OperationCount& count);
    void UpdateFilterChoices();
    void ApplyFilter();
    void ShowRaw();

    CExchangeLog& Log_;
    IDialogService& Dialogs_;
    std::function<int()> CtRatio_;
    CMonitorModel* Model_;
    QTableView* Table_;
    QLabel* Counters_;
    QLabel* FilterLabel_;
    QLabel* KeepLabel_;
    QComboBox* Filter_;
    QPushButton* Pause_;
    QPushButton* Clear_;
    QPushButton* ResetCounters_;
    QPushButton* Save_;
    QCheckBox* ShowRaw_;
    QPlainTextEdit* Raw_;
    QTimer* Timer_;
};

}  // namespace mp
