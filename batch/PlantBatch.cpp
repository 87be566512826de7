#include "batch/PlantBatch.h"

#include <QAction>
#include <QEvent>
#include <QLineEdit>
#include <QMenu>

#include "batch/BackupDlg.h"
#include "batch/CompareDlg.h"
#include "batch/PlantRead.h"
#include "dialogs/DialogService.h"
#include "plant/Plant.h"

namespace mp {

CPlantBatch::CPlantBatch(PlantWork work, QMenu* plantMenu, QObject* parent)
    : QObject(parent), Work_(std::move(work)), Menu_(plantMenu) {
    Menu_->addSeparator();
    Backup_ = Menu_->addAction(QString());
    Backup_->setObjectName(QStringLiteral("backupAction"));
    Compare_ = Menu_->addAction(QString());
    Compare_->setObjectName(QStringLiteral("compareAllAction"));
    connect(Backup_, &QAction::triggered, this, &CPlantBatch::OpenBackup);
    connect(Compare_, &QAction::triggered, this, &CPlantBatch::OpenCompare);
    Menu_->installEventFilter(this);
    RetranslateTexts();
}

CPlantBatch::~CPlantBatch() {
    Forget();
}

CBackupDlg* CPlantBatch::BackupWindow() const {
    return BackupDlg_.data();
}

CCompareDlg* CPlantBatch::CompareWindow() const {
    return CompareDlg_.data();
}

void CPlantBatch::RetranslateTexts() {
    Backup_->setText(tr("备份全部定值..."));
    Compare_->setText(tr("全部比较..."));
}

bool CPlantBatch::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Menu_ && event->type() == QEvent::LanguageChange) {
        RetranslateTexts();
    }
    return QObject::eventFilter(watched, event);
}

bool CPlantBatch::PlantRunning() {
    const Plant* plant = Work_.CurrentPlant ? Work_.CurrentPlant() : nullptr;
    if (plant == nullptr || plant->Feeders.isEmpty()) {
        if (Work_.Dialogs != nullptr) {
            Work_.Dialogs->Inform(Work_.Parent, tr("没有直接连接线路的厂站：请先打开有馈线的厂站（"
                                                   "从服务器监视的厂站不能备份或比较）。"));
        }
        return false;
    }
    return true;
}

void CPlantBatch::OpenBackup() {
    if (BackupDlg_) {
        BackupDlg_->raise();
        return;
    }
    if (!PlantRunning()) {
        return;
    }
    BackupDlg_ = new CBackupDlg(*Work_.CurrentPlant(), ReadOnPlantLines(Work_.Lines()),
                                *Work_.Dialogs, Work_.Parent);
    BackupDlg_->setAttribute(Qt::WA_DeleteOnClose);
    BackupDlg_->FolderEdit()->setText(Work_.PlantDir().absoluteFilePath(tr("定值备份")));
    BackupDlg_->setWindowModality(Qt::WindowModal);
    BackupDlg_->show();
}

void CPlantBatch::OpenCompare() {
    if (CompareDlg_) {
        CompareDlg_->raise();
        return;
    }
    if (!PlantRunning()) {
        return;
    }
    CompareDlg_ = new CCompareDlg(*Work_.CurrentPlant(), Work_.PlantDir(),
                                  ReadOnPlantLines(Work_.Lines()), *Work_.Dialogs, Work_.Parent);
    CompareDlg_->setAttribute(Qt::WA_DeleteOnClose);
    CompareDlg_->SetResultsHandler(
        [this](const CompareResults& results) { KeepCompareResults(Last_, results); });
    CompareDlg_->setWindowModality(Qt::WindowModal);
    CompareDlg_->show();
}

void CPlantBatch::Forget() {
    delete BackupDlg_.data();
    delete CompareDlg_.data();
    Last_.clear();
}

}  // namespace mp
