#pragma once
// The plant editor: the plant's name, its lines and its feeders in two tables edited in
// place (drop-downs for a line's type, rate, parity and framing and for a feeder's line).
// OK checks the whole plant as loading does (ValidatePlant) and refuses with every fault,
// naming the line or feeder and the field, keeping what was typed; Cancel changes nothing.
// "扫描并加入..." runs the injected device search on the selected line and adds a feeder
// for every address found that is not yet on that line. Value in, value out: the dialog
// never touches a file or a line itself.

#include <QDialog>
#include <QVector>
#include <functional>

#include "plant/Plant.h"
#include "plant/PlantFile.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace mp {

class IDialogService;

// Searches `line` for relays and calls `found` once, on the window thread, with the slave
// addresses that answered (none when the search failed or was stopped).
using PlantLineScan =
    std::function<void(const PlantLine& line, std::function<void(QVector<int> addresses)> found)>;

class CPlantEditorDlg : public QDialog {
    Q_OBJECT
public:
    enum LineColumn {
        LineId,
        LineType,
        LinePort,
        LineBaud,
        LineParity,
        LineHost,
        LineTcpPort,
        LineFraming,
        LineTimeout,
        LineColumns
    };
    enum FeederColumn {
        FeederTag,
        FeederDescription,
        FeederLine,
        FeederAddress,
        FeederSettingsFile,
        FeederTemplate,
        FeederRatedCurrent,
        FeederCtRatio,
        FeederRatedVoltage,
        FeederColumns
    };

    // Without `scan` the button "扫描并加入..." stays disabled.
    CPlantEditorDlg(const Plant& plant, IDialogService& dialogs, PlantLineScan scan = {},
                    QWidget* parent = nullptr);

    // The plant as accepted with OK; the plant given until then.
    const Plant& Result() const { return Result_; }
    // The plant as the inputs stand; `errors` gets the inputs that are no number.
    Plant Edited(PlantFileErrors* errors) const;

    // The controls, for tests.
    QLineEdit& NameEdit() { return *Name_; }
    QTableWidget& LinesTable() { return *Lines_; }
    QTableWidget& FeedersTable() { return *Feeders_; }
    QPushButton& ScanButton() { return *Scan_; }
    QLabel& Status() { return *Status_; }

    // The value a drop-down cell holds (the file's word, rate or line id).
    static QVariant CellValue(const QTableWidget& table, int row, int column);
    // Sets a drop-down cell as the operator's choice does.
    void SetCellValue(QTableWidget& table, int row, int column, const QVariant& value);
    // The choices of a drop-down cell: (shown text, value); none for a typed cell.
    QVector<QPair<QString, QVariant>> Choices(const QTableWidget& table, int column) const;

public slots:
    void accept() override;
    void AddLine();
    void RemoveLine();
    void AddFeeder();
    void RemoveFeeder();
    void ScanSelectedLine();

protected:
    void changeEvent(QEvent* event) override;

private:
    void RetranslateTexts();
    void AppendLine(const PlantLine& line);
    void AppendFeeder(const Feeder& feeder);
    // Greys the cells a line of its type does not use.
    void UpdateLineRow(int row);
    void LineItemChanged(QTableWidgetItem* item);
    void AddFound(const QString& lineId, const QVector<int>& addresses);
    void UpdateButtons();
    // Selects the cell of the first fault's key.
    void ShowFault(const QString& key);
    PlantLine RowLine(int row, PlantFileErrors* errors) const;
    Feeder RowFeeder(int row, PlantFileErrors* errors) const;
    QString DisplayText(const QTableWidget& table, int column, const QVariant& value) const;

    IDialogService& Dialogs_;
    PlantLineScan ScanLine_;
    Plant Result_;
    bool Filling_ = false;
    bool Scanning_ = false;

    QLabel* NameLabel_;
    QLineEdit* Name_;
    QGroupBox* LinesBox_;
    QGroupBox* FeedersBox_;
    QTableWidget* Lines_;
    QTableWidget* Feeders_;
    QPushButton* AddLine_;
    QPushButton* RemoveLine_;
    QPushButton* Scan_;
    QPushButton* AddFeeder_;
    QPushButton* RemoveFeeder_;
    QLabel* Status_;
    QPushButton* Ok_;
    QPushButton* Cancel_;
};

}  // namespace mp
