#include "batch/FeederRunDlg.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "dialogs/DialogService.h"
#include "plant/Plant.h"

namespace mp {

CFeederRunDlg::CFeederRunDlg(const Plant& plant, IDialogService& dialogs, QWidget* parent)
    : QDialog(parent), Dialogs_(dialogs) {
    auto* layout = new QVBoxLayout(this);
    FeedersLabel_ = new QLabel(this);
    layout->addWidget(FeedersLabel_);
    Feeders_ = new QListWidget(this);
    Feeders_->setObjectName(QStringLiteral("feederList"));
    Feeders_->setMaximumHeight(160);
    for (const Feeder& feeder : plant.Feeders) {
        auto* item = new QListWidgetItem(
            QStringLiteral("%1  %2 #%3").arg(feeder.Tag, feeder.Line).arg(feeder.Address),
            Feeders_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
    }
    layout->addWidget(Feeders_);
    Extra_ = new QVBoxLayout;
    layout->addLayout(Extra_);
    Progress_ = new QProgressBar(this);
    Progress_->setObjectName(QStringLiteral("progressBar"));
    Progress_->setRange(0, 1);
    Progress_->setValue(0);
    layout->addWidget(Progress_);
    Table_ = new QTableWidget(this);
    Table_->setObjectName(QStringLiteral("resultTable"));
    Table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table_->verticalHeader()->hide();
    layout->addWidget(Table_, 1);
    Summary_ = new QLabel(this);
    Summary_->setObjectName(QStringLiteral("summaryLabel"));
    Summary_->setWordWrap(true);
    Summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(Summary_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    Start_ = new QPushButton(this);
    Start_->setObjectName(QStringLiteral("startButton"));
    Stop_ = new QPushButton(this);
    Stop_->setObjectName(QStringLiteral("stopButton"));
    Stop_->setEnabled(false);
    Close_ = new QPushButton(this);
    Close_->setObjectName(QStringLiteral("closeButton"));
    buttons->addWidget(Start_);
    buttons->addWidget(Stop_);
    buttons->addWidget(Close_);
    layout->addLayout(buttons);
    connect(Start_, &QPushButton::clicked, this, &CFeederRunDlg::OnStart);
    connect(Stop_, &QPushButton::clicked, this, [this] {
        Stop_->setEnabled(false);
        StopWork();
    });
    connect(Close_, &QPushButton::clicked, this, &CFeederRunDlg::reject);
    resize(760, 560);
}

QVector<int> CFeederRunDlg::ChosenFeeders() const {
    QVector<int> chosen;
    for (int i = 0; i < Feeders_->count(); ++i) {
        if (Feeders_->item(i)->checkState() == Qt::Checked) {
            chosen << i;
        }
    }
    return chosen;
}

void CFeederRunDlg::ChooseFeeders(const QVector<int>& feeders) {
    for (int i = 0; i < Feeders_->count(); ++i) {
        Feeders_->item(i)->setCheckState(feeders.contains(i) ? Qt::Checked : Qt::Unchecked);
    }
}

void CFeederRunDlg::OnStart() {
    const QVector<int> chosen = ChosenFeeders();
    if (chosen.isEmpty()) {
        Dialogs_.Inform(this, tr("请至少选择一条馈线。"));
        return;
    }
    Summary_->clear();
    Progress_->setRange(0, static_cast<int>(chosen.size()));
    Progress_->setValue(0);
    Running_ = true;
    Start_->setEnabled(false);
    Feeders_->setEnabled(false);
    Stop_->setEnabled(true);
    Close_->setEnabled(false);
    if (!StartWork(chosen)) {
        Running_ = false;
        Start_->setEnabled(true);
        Feeders_->setEnabled(true);
        Stop_->setEnabled(false);
        Close_->setEnabled(true);
    }
}

void CFeederRunDlg::ShowProgress(int done, int total) {
    Progress_->setRange(0, total);
    Progress_->setValue(done);
}

void CFeederRunDlg::ShowFinished(const QString& summary) {
    Running_ = false;
    Summary_->setText(summary);
    Start_->setEnabled(true);
    Feeders_->setEnabled(true);
    Stop_->setEnabled(false);
    Close_->setEnabled(true);
}

void CFeederRunDlg::FillTable(const QStringList& header, const QList<QStringList>& rows) {
    Table_->clear();
    Table_->setColumnCount(static_cast<int>(header.size()));
    Table_->setHorizontalHeaderLabels(header);
    Table_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < rows[r].size(); ++c) {
            Table_->setItem(r, c, new QTableWidgetItem(rows[r][c]));
        }
    }
    Table_->resizeColumnsToContents();
}

void CFeederRunDlg::RetranslateTexts() {
    FeedersLabel_->setText(tr("馈线"));
    Feeders_->setAccessibleName(tr("馈线"));
    Progress_->setAccessibleName(tr("进度"));
    Start_->setText(tr("开始"));
    Stop_->setText(tr("停止"));
    Close_->setText(tr("关闭"));
    Table_->setAccessibleName(tr("结果"));
}

void CFeederRunDlg::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        RetranslateTexts();
    }
    QDialog::changeEvent(event);
}

void CFeederRunDlg::reject() {
    // Closing while relays are read would leave them half done: Stop first.
    if (Running_) {
        return;
    }
    QDialog::reject();
}

}  // namespace mp
