#pragma once
// The backup and the compare of the plant open, as items of the overview's menu "厂站". Keeps
// the last compare of each feeder for what shows the plant later. Closing the plant closes
// their windows (a read still queued on a line that closes never comes back) and forgets the
// results.

#include <QObject>
#include <QPointer>

#include "batch/CompareResults.h"
#include "batch/PlantWork.h"

class QAction;
class QMenu;

namespace mp {

class CBackupDlg;
class CCompareDlg;

class CPlantBatch : public QObject {
    Q_OBJECT
public:
    CPlantBatch(PlantWork work, QMenu* plantMenu, QObject* parent = nullptr);
    ~CPlantBatch() override;

    QAction* BackupAction() const { return Backup_; }
    QAction* CompareAction() const { return Compare_; }
    // The window open now (nullptr: none).
    CBackupDlg* BackupWindow() const;
    CCompareDlg* CompareWindow() const;

    // "备份全部定值..." and "全部比较...": their window over the overview.
    void OpenBackup();
    void OpenCompare();
    // The last compare of each feeder of the plant open (by tag).
    const CompareResults& LastCompares() const { return Last_; }
    // The plant is closing or another opens.
    void Forget();

private:
    bool PlantRunning();
    void RetranslateTexts();
    bool eventFilter(QObject* watched, QEvent* event) override;

    PlantWork Work_;
    QMenu* Menu_ = nullptr;
    QAction* Backup_ = nullptr;
    QAction* Compare_ = nullptr;
    QPointer<CBackupDlg> BackupDlg_;
    QPointer<CCompareDlg> CompareDlg_;
    CompareResults Last_;
};

}  // namespace mp
