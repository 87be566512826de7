#include "batch/BatchWriteDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dialogs/DialogService.h"
#include "plant/Plant.h"

namespace mp {
namespace {

enum Column { Tag, LineColumn, Address, Source, Outcome, Detail, ColumnCount };

}  // namespace

CBatchWriteDlg::CBatchWriteDlg(PlantWork work, QWidget* parent)
    : QDialog(parent), Work_(std::move(work)) {
    setWindowTitle(tr("批量写入"));
    Tree_ = new QTreeWidget(this);
    Tree_->setAccessibleName(tr("馈线与改变"));
    Tree_->setColumnCount(ColumnCount);
    Tree_->setHeaderLabels(
        {tr("位号"), tr("线路"), tr("地址"), tr("定值来源"), tr("结果"), tr("说明")});
    StopAtFailure_ = new QCheckBox(tr("遇到失败即停止"), this);
    Progress_ = new QProgressBar(this);
    Progress_->setAccessibleName(tr("进度"));
    Summary_ = new QLabel(this);
    Summary_->setWordWrap(true);
    Preview_ = new QPushButton(tr("预览"), this);
    Write_ = new QPushButton(tr("写入..."), this);
    Stop_ = new QPushButton(tr("停止"), this);
    Write_->setEnabled(false);
    Stop_->setEnabled(false);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(close, &QDialogButtonBox::rejected, this, &CBatchWriteDlg::reject);
    connect(Preview_, &QPushButton::clicked, this, &CBatchWriteDlg::StartPreview);
    connect(Write_, &QPushButton::clicked, this, &CBatchWriteDlg::StartWrite);
    connect(Stop_, &QPushButton::clicked, this, [this] {
        if (Batch_) {
            Batch_->Stop();
            Summary_->setText(tr("正在停止：当前仪表写完后结束。"));
        }
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Preview_);
    buttons->addWidget(Write_);
    buttons->addWidget(Stop_);
    buttons->addWidget(StopAtFailure_);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Tree_);
    layout->addWidget(Progress_);
    layout->addWidget(Summary_);
    layout->addLayout(buttons);
    resize(1000, 600);
    Fill();
}

CBatchWriteDlg::~CBatchWriteDlg() = default;

void CBatchWriteDlg::Fill() {
    Tree_->clear();
    const Plant* plant = Work_.CurrentPlant();
    if (plant == nullptr) {
        Summary_->setText(tr("没有运行中的厂站：批量写入需要直接连接线路。"));
        Preview_->setEnabled(false);
        return;
    }
    for (int row = 0; row < plant->Feeders.size(); ++row) {
        const Feeder& feeder = plant->Feeders[row];
        const EffectiveSettings effective = EffectiveSettingsOf(feeder, Work_.PlantDir());
        auto* item = new QTreeWidgetItem(Tree_);
        item->setText(Tag, feeder.Tag);
        item->setText(LineColumn, feeder.Line);
        item->setText(Address, QString::number(feeder.Address));
        item->setText(Source, effective.HasSource() ? effective.Source : tr("无定值来源"));
        item->setText(Detail, effective.Faults.join(QLatin1Char('\n')));
        item->setData(Tag, Qt::UserRole, row);
        item->setCheckState(Tag, effective.Values ? Qt::Checked : Qt::Unchecked);
    }
    for (int c = 0; c < Detail; ++c) {
        Tree_->resizeColumnToContents(c);
    }
}

QVector<int> CBatchWriteDlg::Checked() const {
    QVector<int> rows;
    for (int i = 0; i < Tree_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = Tree_->topLevelItem(i);
        if (item->checkState(Tag) == Qt::Checked) {
            rows << item->data(Tag, Qt::UserRole).toInt();
        }
    }
    return rows;
}

void CBatchWriteDlg::StartPreview() {
    const QVector<int> rows = Checked();
    if (rows.isEmpty()) {
        Work_.Dialogs->Inform(this, tr("请先勾选要写入的馈线。"));
        return;
    }
    Batch_ = std::make_unique<CBatchWrite>(Work_, rows);
    connect(Batch_.get(), &CBatchWrite::Progress, this, [this](int done, int total) {
        Progress_->setMaximum(std::max(total, 1));
        Progress_->setValue(done);
    });
    connect(Batch_.get(), &CBatchWrite::PreviewReady, this, [this] {
        ShowResults();
        Preview_->setEnabled(true);
        Stop_->setEnabled(false);
        int relays = 0;
        int changes = 0;
        for (const BatchRelay& r : Batch_->Relays()) {
            if (r.Outcome == BatchOutcome::Waiting && !r.Changes.empty()) {
                ++relays;
                changes += static_cast<int>(r.Changes.size());
            }
        }
        Write_->setEnabled(relays > 0);
        Summary_->setText(tr("预览：%1 台仪表将改变 %2 项定值。").arg(relays).arg(changes));
    });
    connect(Batch_.get(), &CBatchWrite::Finished, this, [this] {
        ShowResults();
        Preview_->setEnabled(true);
        Stop_->setEnabled(false);
        QMap<BatchOutcome, int> counts;
        for (const BatchRelay& r : Batch_->Relays()) {
            ++counts[r.Outcome];
        }
        QStringList parts;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
            parts << tr("%1 %2 台").arg(BatchOutcomeText(it.key())).arg(it.value());
        }
        Summary_->setText(tr("完成：%1。审计日志：%2")
                              .arg(parts.join(QStringLiteral("，")), Batch_->AuditPath()));
    });
    Preview_->setEnabled(false);
    Write_->setEnabled(false);
    Stop_->setEnabled(true);
    Summary_->setText(tr("正在读各台仪表的定值..."));
    Batch_->Preview();
}

void CBatchWriteDlg::StartWrite() {
    if (!Batch_) {
        return;
    }
    int relays = 0;
    for (const BatchRelay& r : Batch_->Relays()) {
        relays += r.Outcome == BatchOutcome::Waiting && !r.Changes.empty() ? 1 : 0;
    }
    if (!Work_.Dialogs->AskYesNo(
            this, tr("将按预览向 %1 台仪表写入定值，每台写后回读确认。确认写入吗?").arg(relays))) {
        return;
    }
    QString reason;
    if (!Batch_->Write(StopAtFailure_->isChecked(), &reason)) {
        Work_.Dialogs->Inform(this, tr("未开始写入：%1").arg(reason));
        return;
    }
    Preview_->setEnabled(false);
    Write_->setEnabled(false);
    Stop_->setEnabled(true);
    Summary_->setText(tr("正在写入..."));
}

void CBatchWriteDlg::ShowResults() {
    for (const BatchRelay& r : Batch_->Relays()) {
        for (int i = 0; i < Tree_->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = Tree_->topLevelItem(i);
            if (item->data(Tag, Qt::UserRole).toInt() != r.Row) {
                continue;
            }
            item->setText(Outcome, r.Outcome == BatchOutcome::Waiting
                                       ? tr("将改变 %1 项").arg(r.Changes.size())
                                       : BatchOutcomeText(r.Outcome));
            item->setText(Detail, r.Detail);
            qDeleteAll(item->takeChildren());
            for (const BatchChange& change : r.Changes) {
                auto* child = new QTreeWidgetItem(item);
                child->setText(Tag,
                               tr("%1：%2 → %3").arg(change.Caption, change.Before, change.After));
                child->setFirstColumnSpanned(true);
            }
            item->setExpanded(true);
        }
    }
    Tree_->resizeColumnToContents(Outcome);
}

void CBatchWriteDlg::reject() {
    if (Batch_ && Batch_->Running()) {
        Work_.Dialogs->Inform(this, tr("批量写入进行中：请先停止，当前仪表写完后再关闭。"));
        return;
    }
    QDialog::reject();
}

void AddBatchWriteAction(QMenu* menu, PlantWork work) {
    QAction* action = menu->addAction(CBatchWriteDlg::tr("批量写入..."));
    QObject::connect(action, &QAction::triggered, menu, [work] {
        if (work.CurrentPlant() == nullptr) {
            work.Dialogs->Inform(
                work.Parent, CBatchWriteDlg::tr("没有运行中的厂站：批量写入需要直接连接线路。"));
            return;
        }
        CBatchWriteDlg dialog(work, work.Parent);
        dialog.exec();
    });
}

}  // namespace mp
