#pragma once
// "厂站总览": the plant's feeders in one table, sorted and filtered by line or state, with
// the link state in colour and stale values greyed. Double-click or Enter opens a feeder's
// relay window; the table can be exported as CSV. The plant menu's items are the shell's to
// wire.

#include <QMainWindow>
#include <functional>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QSortFilterProxyModel;
class QTableView;
class QTimer;

namespace mp {

class CFeederStates;
class COverviewModel;
class IDialogService;

class COverviewDlg : public QMainWindow {
    Q_OBJECT
public:
    COverviewDlg(IDialogService& dialogs, QWidget* parent = nullptr);
    ~COverviewDlg() override;

    // Shows `states` (a plant's feeders); `lineNames` are its lines' ids by index. Nothing
    // shown: no plant is open.
    void ShowPlant(const QString& title, const CFeederStates* states, const QStringList& lineNames,
                   std::function<int64_t()> now);
    // A line's condition for the status bar.
    void SetLineText(const QString& text);

    QAction* NewPlantAction() const { return NewPlant_; }
    QAction* OpenPlantAction() const { return OpenPlant_; }
    QAction* SavePlantAction() const { return SavePlant_; }
    QAction* EditPlantAction() const { return EditPlant_; }
    QMenu* RecentMenu() const { return Recent_; }
    // "连接到服务器...": the plant as a service publishes it, read-only.
    QAction* WatchBrokerAction() const { return WatchBroker_; }
    // The plant shown is watched from a server: saving and editing it are not offered.
    void SetReadOnly(bool readOnly);
    QMenu* PlantMenu() const { return PlantMenu_; }
    QTableView* Table() const { return Table_; }

    // Writes the table as shown (sorted and filtered) to a CSV file the operator picks.
    void ExportCsv();
    // The rows as shown, in CSV (UTF-8 with a byte order mark, CRLF).
    QByteArray Csv() const;

signals:
    // The feeder in row `row` of the states (not of the sorted view) is to be opened.
    void OpenFeeder(int row);
    void Closing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ApplyFilter();
    void OpenCurrent();

    IDialogService& Dialogs_;
    QMenu* PlantMenu_ = nullptr;
    QAction* NewPlant_ = nullptr;
    QAction* OpenPlant_ = nullptr;
    QAction* SavePlant_ = nullptr;
    QAction* EditPlant_ = nullptr;
    QAction* WatchBroker_ = nullptr;
    QMenu* Recent_ = nullptr;
    QComboBox* LineFilter_ = nullptr;
    QComboBox* StateFilter_ = nullptr;
    QTableView* Table_ = nullptr;
    QLabel* LineText_ = nullptr;
    QTimer* Ages_ = nullptr;
    COverviewModel* Model_ = nullptr;
    QSortFilterProxyModel* Proxy_ = nullptr;
};

}  // namespace mp
