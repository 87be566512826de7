#pragma once
// "备份全部定值": the feeders and the folder chosen, the backup run with its progress and Stop,
// a row per feeder with its outcome and file, and the summary.

#include <functional>
#include <memory>

#include "batch/FeederRunDlg.h"
#include "batch/PlantBackup.h"

class QLineEdit;
class QToolButton;

namespace mp {

class CBackupDlg : public CFeederRunDlg {
    Q_OBJECT
public:
    // Picks a folder starting from `current`; empty when the operator cancels.
    using FolderChooser = std::function<QString(QWidget* parent, const QString& current)>;

    CBackupDlg(const Plant& plant, RelayRead read, IDialogService& dialogs,
               QWidget* parent = nullptr, CPlantBackup::Clock now = {});
    ~CBackupDlg() override;

    void SetFolderChooser(FolderChooser choose) { ChooseFolder_ = std::move(choose); }
    QLineEdit* FolderEdit() const { return Folder_; }
    // The backup run last (nullptr before the first).
    const CPlantBackup* Backup() const { return Backup_.get(); }

protected:
    bool StartWork(const QVector<int>& feeders) override;
    void StopWork() override;
    void RetranslateTexts() override;

private:
    void ShowRows();

    Plant Plant_;
    RelayRead Read_;
    CPlantBackup::Clock Now_;
    FolderChooser ChooseFolder_;
    QLineEdit* Folder_ = nullptr;
    QToolButton* Browse_ = nullptr;
    class QLabel* FolderLabel_ = nullptr;
    std::unique_ptr<CPlantBackup> Backup_;
};

}  // namespace mp
