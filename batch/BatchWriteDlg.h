#pragma once
// "批量写入...": the feeders of the plant with the source of their effective settings; the
// chosen ones previewed (each relay read, what will change listed old → new under it), the
// batch confirmed once and written, each relay's result shown as it comes.

#include <QDialog>
#include <memory>

#include "batch/BatchWrite.h"

class QCheckBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QTreeWidget;

namespace mp {

class CBatchWriteDlg : public QDialog {
    Q_OBJECT
public:
    CBatchWriteDlg(PlantWork work, QWidget* parent = nullptr);
    ~CBatchWriteDlg() override;

    QTreeWidget* Tree() const { return Tree_; }
    QPushButton* PreviewButton() const { return Preview_; }
    QPushButton* WriteButton() const { return Write_; }
    QCheckBox* StopAtFailure() const { return StopAtFailure_; }
    CBatchWrite* Batch() const { return Batch_.get(); }

    // Previews the feeders checked in the tree.
    void StartPreview();
    // Asks once, then writes the previewed batch.
    void StartWrite();

protected:
    void reject() override;

private:
    void Fill();
    void ShowResults();
    QVector<int> Checked() const;

    PlantWork Work_;
    std::unique_ptr<CBatchWrite> Batch_;
    QTreeWidget* Tree_ = nullptr;
    QCheckBox* StopAtFailure_ = nullptr;
    QProgressBar* Progress_ = nullptr;
    QLabel* Summary_ = nullptr;
    QPushButton* Preview_ = nullptr;
    QPushButton* Write_ = nullptr;
    QPushButton* Stop_ = nullptr;
};

// Adds "批量写入..." to the overview's plant menu.
void AddBatchWriteAction(QMenu* menu, PlantWork work);

}  // namespace mp
