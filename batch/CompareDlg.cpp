#include "batch/CompareDlg.h"

#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

#include "dialogs/DialogService.h"

namespace mp {

CCompareDlg::CCompareDlg(const Plant& plant, const QDir& plantDir, RelayRead read,
                         IDialogService& dialogs, QWidget* parent, CPlantCompare::Clock now)
    : CFeederRunDlg(plant, dialogs, parent),
      Plant_(plant),
      PlantDir_(plantDir),
      Read_(std::move(read)),
      Now_(std::move(now)) {
    Export_ = new QPushButton(this);
    Export_->setObjectName(QStringLiteral("exportCsvButton"));
    Export_->setEnabled(false);
    Extra()->addWidget(Export_, 0, Qt::AlignLeft);
    connect(Export_, &QPushButton::clicked, this, &CCompareDlg::ExportCsv);
    RetranslateTexts();
}

CCompareDlg::~CCompareDlg() = default;

void CCompareDlg::RetranslateTexts() {
    CFeederRunDlg::RetranslateTexts();
    setWindowTitle(tr("全部比较"));
    Export_->setText(tr("导出CSV..."));
    if (Compare_) {
        ShowRows();
    }
}

bool CCompareDlg::StartWork(const QVector<int>& feeders) {
    Export_->setEnabled(false);
    Compare_ = std::make_unique<CPlantCompare>(Plant_, feeders, PlantDir_, Read_, Now_);
    ShowRows();
    Compare_->Start(
        [this](int done, int total) {
            ShowProgress(done, total);
            ShowRows();
        },
        [this] {
            ShowRows();
            int equal = 0;
            int differ = 0;
            int other = 0;
            for (const CompareRow& row : Compare_->Rows()) {
                equal += row.Result.Outcome == CompareOutcome::Equal;
                differ += row.Result.Outcome == CompareOutcome::Differs;
                other += row.Result.Outcome != CompareOutcome::Equal &&
                         row.Result.Outcome != CompareOutcome::Differs;
            }
            Export_->setEnabled(true);
            if (Results_) {
                Results_(Compare_->Results());
            }
            ShowFinished(
                tr("一致 %1 台，不一致 %2 台，未能比较 %3 台").arg(equal).arg(differ).arg(other));
        });
    return true;
}

void CCompareDlg::StopWork() {
    if (Compare_) {
        Compare_->Stop();
    }
}

void CCompareDlg::ShowRows() {
    QList<QStringList> rows;
    for (int i = 0; i < static_cast<int>(Compare_->Rows().size()); ++i) {
        rows << Compare_->Cells(i);
    }
    FillTable(Compare_->Header(), rows);
}

void CCompareDlg::ExportCsv() {
    if (!Compare_) {
        return;
    }
    const QString path = Dialogs_.SaveFileName(this, tr("导出CSV"), tr("全部比较.csv"),
                                               tr("CSV 文件 (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty()) {
        return;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(Compare_->Csv()) < 0 || !file.commit()) {
        Dialogs_.Inform(this, tr("无法写入文件 %1：%2").arg(path, file.errorString()));
    }
}

}  // namespace mp
