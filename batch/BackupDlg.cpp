#include "batch/BackupDlg.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include "dialogs/DialogService.h"

namespace mp {

CBackupDlg::CBackupDlg(const Plant& plant, RelayRead read, IDialogService& dialogs, QWidget* parent,
                       CPlantBackup::Clock now)
    : CFeederRunDlg(plant, dialogs, parent),
      Plant_(plant),
      Read_(std::move(read)),
      Now_(std::move(now)) {
    ChooseFolder_ = [](QWidget* owner, const QString& current) {
        return QFileDialog::getExistingDirectory(owner, QString(), current);
    };
    auto* row = new QHBoxLayout;
    FolderLabel_ = new QLabel(this);
    Folder_ = new QLineEdit(this);
    Folder_->setObjectName(QStringLiteral("folderEdit"));
    Browse_ = new QToolButton(this);
    Browse_->setObjectName(QStringLiteral("browseButton"));
    Browse_->setText(QStringLiteral("..."));
    row->addWidget(FolderLabel_);
    row->addWidget(Folder_, 1);
    row->addWidget(Browse_);
    Extra()->addLayout(row);
    connect(Browse_, &QToolButton::clicked, this, [this] {
        const QString chosen = ChooseFolder_(this, Folder_->text());
        if (!chosen.isEmpty()) {
            Folder_->setText(QDir::toNativeSeparators(chosen));
        }
    });
    RetranslateTexts();
}

CBackupDlg::~CBackupDlg() = default;

void CBackupDlg::RetranslateTexts() {
    CFeederRunDlg::RetranslateTexts();
    setWindowTitle(tr("备份全部定值"));
    FolderLabel_->setText(tr("文件夹"));
    Folder_->setAccessibleName(tr("文件夹"));
    Browse_->setAccessibleName(tr("选择文件夹"));
    if (Backup_) {
        ShowRows();
    }
}

bool CBackupDlg::StartWork(const QVector<int>& feeders) {
    const QString folder = Folder_->text().trimmed();
    if (folder.isEmpty()) {
        Dialogs_.Inform(this, tr("请选择备份的文件夹。"));
        return false;
    }
    // An earlier backup in the same folder is replaced only when the operator says so.
    QStringList existing;
    for (const int index : feeders) {
        const std::optional<QString> name = BackupFileName(Plant_.Feeders[index].Tag);
        if (name && QFileInfo::exists(QDir(folder).absoluteFilePath(*name))) {
            existing << *name;
        }
    }
    if (!existing.isEmpty() &&
        !Dialogs_.AskYesNo(this, tr("文件夹中已有 %1 个同名文件（%2），替换吗？")
                                     .arg(existing.size())
                                     .arg(existing.mid(0, 5).join(QStringLiteral("、"))))) {
        return false;
    }
    Backup_ = std::make_unique<CPlantBackup>(Plant_, feeders, folder, Read_, Now_);
    ShowRows();
    Backup_->Start(
        [this](int done, int total) {
            ShowProgress(done, total);
            ShowRows();
        },
        [this] {
            ShowRows();
            ShowFinished(Backup_->Summary());
        });
    return true;
}

void CBackupDlg::StopWork() {
    if (Backup_) {
        Backup_->Stop();
    }
}

void CBackupDlg::ShowRows() {
    QList<QStringList> rows;
    for (const BackupRow& row : Backup_->Rows()) {
        rows << QStringList{
            row.Tag, row.Line, QString::number(row.Address), BackupOutcomeText(row.Outcome),
            row.Outcome == BackupOutcome::Saved ? QFileInfo(row.File).fileName() : row.Reason};
    }
    FillTable({tr("馈线"), tr("线路"), tr("地址"), tr("结果"), tr("文件或原因")}, rows);
}

}  // namespace mp
