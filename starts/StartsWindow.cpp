#include "starts/StartsWindow.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLegend>
#include <QLineSeries>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>

#include "dialogs/DialogService.h"

namespace mp {
namespace {

QString When(const StartRecord& record) {
    return QDateTime::fromMSecsSinceEpoch(record.StartAt())
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QTableWidgetItem* Item(const QString& text, const QString& id = QString()) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (!id.isEmpty()) {
        item->setData(Qt::UserRole, id);
    }
    return item;
}

// The highest phase current of a sample; nothing for a read without reply.
std::optional<double> Highest(const TrendSample& sample) {
    std::optional<double> highest;
    for (const auto& current : sample.Currents) {
        if (current && (!highest || *current > *highest)) {
            highest = current;
        }
    }
    return highest;
}

QString Signed(double value, int decimals) {
    // A change that rounds to zero is shown without a sign.
    const QString text = QString::number(std::abs(value), 'f', decimals);
    if (text.toDouble() == 0.0) {
        return text;
    }
    return (value > 0 ? QStringLiteral("+") : QStringLiteral("−")) + text;
}

}  // namespace

CStartsWindow::CStartsWindow(CStartHistory& history, IDialogService& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), History_(history), Dialogs_(dialogs) {
    setObjectName(QStringLiteral("startsWindow"));
    resize(900, 700);

    FolderLabel_ = new QLabel(this);
    FolderLabel_->setObjectName(QStringLiteral("startsFolderLabel"));
    FolderLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    List_ = new QTableWidget(0, 6, this);
    List_->setObjectName(QStringLiteral("startsList"));
    List_->setSelectionBehavior(QAbstractItemView::SelectRows);
    List_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    List_->verticalHeader()->hide();
    List_->horizontalHeader()->setStretchLastSection(true);

    BaselineButton_ = new QPushButton(this);
    BaselineButton_->setObjectName(QStringLiteral("baselineButton"));
    connect(BaselineButton_, &QPushButton::clicked, this, &CStartsWindow::MarkBaseline);
    DeleteButton_ = new QPushButton(this);
    DeleteButton_->setObjectName(QStringLiteral("deleteStartButton"));
    connect(DeleteButton_, &QPushButton::clicked, this, &CStartsWindow::DeleteSelected);
    CompareButton_ = new QPushButton(this);
    CompareButton_->setObjectName(QStringLiteral("compareStartsButton"));
    connect(CompareButton_, &QPushButton::clicked, this, &CStartsWindow::Compare);
    FormatBox_ = new QComboBox(this);
    FormatBox_->setObjectName(QStringLiteral("comtradeFormatBox"));
    FormatBox_->addItems({QString(), QString()});
    ExportButton_ = new QPushButton(this);
    ExportButton_->setObjectName(QStringLiteral("exportStartButton"));
    connect(ExportButton_, &QPushButton::clicked, this, [this] {
        const QStringList ids = SelectedIds();
        if (ids.size() != 1) {
            Dialogs_.Inform(this, tr("请选择一次起动导出。"));
            return;
        }
        emit ExportRequested(ids.front(), FormatBox_->currentIndex() == 0 ? ComtradeFormat::Ascii
                                                                          : ComtradeFormat::Binary);
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BaselineButton_);
    buttons->addWidget(DeleteButton_);
    buttons->addWidget(CompareButton_);
    buttons->addStretch();
    buttons->addWidget(FormatBox_);
    buttons->addWidget(ExportButton_);

    Chart_ = new QChart;
    Chart_->legend()->setAlignment(Qt::AlignBottom);
    ChartView_ = new QChartView(Chart_, this);
    ChartView_->setObjectName(QStringLiteral("compareChart"));
    ChartView_->setRenderHint(QPainter::Antialiasing);
    ChartView_->setMinimumHeight(280);

    CompareTable_ = new QTableWidget(0, 7, this);
    CompareTable_->setObjectName(QStringLiteral("compareTable"));
    CompareTable_->verticalHeader()->hide();
    CompareTable_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    CompareTable_->horizontalHeader()->setStretchLastSection(true);

    auto* top = new QWidget(this);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->addWidget(FolderLabel_);
    topLayout->addWidget(List_);
    topLayout->addLayout(buttons);
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(top);
    splitter->addWidget(ChartView_);
    splitter->addWidget(CompareTable_);
    splitter->setStretchFactor(1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter);

    RetranslateTexts();
    Reload();
}

void CStartsWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        RetranslateTexts();
    }
    QWidget::changeEvent(event);
}

void CStartsWindow::RetranslateTexts() {
    setWindowTitle(tr("起动记录"));
    List_->setHorizontalHeaderLabels({tr("基准"), tr("起动时间"), tr("峰值电流 (A)"),
                                      tr("起动用时 (s)"), tr("电压跌落 (%)"), tr("保护判断")});
    CompareTable_->setHorizontalHeaderLabels({tr("起动时间"), tr("峰值电流 (A)"), tr("相对基准"),
                                              tr("起动用时 (s)"), tr("相对基准"),
                                              tr("电压跌落 (%)"), tr("相对基准")});
    BaselineButton_->setText(tr("设为基准"));
    DeleteButton_->setText(tr("删除"));
    CompareButton_->setText(tr("比较"));
    FormatBox_->setItemText(0, tr("ASCII"));
    FormatBox_->setItemText(1, tr("二进制"));
    ExportButton_->setText(tr("导出 COMTRADE..."));
    Chart_->setTitle(tr("最大相电流, 从起动时刻起"));
    const QStringList compared = Compared_;
    Reload();
    Select(compared);
    if (compared.size() >= 2) {
        Compare();
    }
}

void CStartsWindow::Reload() {
    const QStringList selected = SelectedIds();
    FolderLabel_->setText(tr("保存位置: %1").arg(QDir::toNativeSeparators(History_.Folder())));
    List_->setRowCount(0);
    const QVector<StartRecord>& records = History_.Records();
    // Newest first.
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        const StartRecord& record = *it;
        const int row = List_->rowCount();
        List_->insertRow(row);
        List_->setItem(row, 0,
                       Item(record.Id == History_.Baseline() ? tr("基准") : QString(), record.Id));
        List_->setItem(row, 1, Item(When(record)));
        List_->setItem(row, 2, Item(QString::number(record.Judgement.PeakCurrent, 'f', 2)));
        List_->setItem(
            row, 3,
            Item(record.Judgement.SettledAfter
                     ? QString::number(static_cast<double>(*record.Judgement.SettledAfter) / 1000.0,
                                       'f', 1)
                     : tr("未降到 1.2 倍")));
        List_->setItem(row, 4,
                       Item(record.DipPercent ? QString::number(*record.DipPercent, 'f', 1)
                                              : QStringLiteral("—")));
        QStringList verdicts;
        if (record.Judgement.StartTimeoutTrips) {
            verdicts << tr("启动超时会动作");
        }
        if (record.Judgement.LockedRotorTrips) {
            verdicts << tr("堵转会动作");
        }
        List_->setItem(
            row, 5, Item(verdicts.isEmpty() ? tr("不动作") : verdicts.join(QStringLiteral(", "))));
    }
    List_->resizeColumnsToContents();
    Select(selected);
    Compared_.erase(
        std::remove_if(Compared_.begin(), Compared_.end(),
                       [this](const QString& id) { return History_.Find(id) == nullptr; }),
        Compared_.end());
    FillChart();
    FillCompareTable();
}

void CStartsWindow::Select(const QStringList& ids) {
    QItemSelection selection;
    for (int row = 0; row < List_->rowCount(); ++row) {
        if (ids.contains(List_->item(row, 0)->data(Qt::UserRole).toString())) {
            selection.select(List_->model()->index(row, 0),
                             List_->model()->index(row, List_->columnCount() - 1));
        }
    }
    List_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

QStringList CStartsWindow::SelectedIds() const {
    QStringList ids;
    for (int row = 0; row < List_->rowCount(); ++row) {
        if (List_->selectionModel()->isRowSelected(row, QModelIndex())) {
            ids << List_->item(row, 0)->data(Qt::UserRole).toString();
        }
    }
    return ids;
}

void CStartsWindow::MarkBaseline() {
    const QStringList ids = SelectedIds();
    if (ids.size() != 1) {
        Dialogs_.Inform(this, tr("请选择一次起动作为基准。"));
        return;
    }
    QString error;
    if (!History_.SetBaseline(ids.front(), &error)) {
        Dialogs_.Inform(this, tr("基准未能保存 (%1)。").arg(error));
        return;
    }
    Reload();
}

void CStartsWindow::DeleteSelected() {
    const QStringList ids = SelectedIds();
    if (ids.isEmpty() ||
        !Dialogs_.AskYesNo(this, tr("删除所选的 %1 次起动记录?").arg(ids.size()))) {
        return;
    }
    for (const QString& id : ids) {
        QString error;
        if (!History_.Remove(id, &error)) {
            Dialogs_.Inform(this, tr("起动记录未能删除 (%1)。").arg(error));
            break;
        }
    }
    Reload();
}

void CStartsWindow::Compare() {
    const QStringList ids = SelectedIds();
    if (ids.size() < 2) {
        Dialogs_.Inform(this, tr("请选择两次或更多起动进行比较。"));
        return;
    }
    Compared_.clear();
    // Oldest first, as they happened.
    for (const StartRecord& record : History_.Records()) {
        if (ids.contains(record.Id)) {
            Compared_ << record.Id;
        }
    }
    FillChart();
    FillCompareTable();
}

QString CStartsWindow::PercentChange(double percent) {
    return tr("%1 %").arg(Signed(percent, 0));
}

QString CStartsWindow::SecondsChange(double seconds) {
    return tr("%1 s").arg(Signed(seconds, 1));
}

QString CStartsWindow::PointsChange(double points) {
    return tr("%1 个百分点").arg(Signed(points, 1));
}

void CStartsWindow::FillChart() {
    Chart_->removeAllSeries();
    for (QAbstractAxis* axis : Chart_->axes()) {
        Chart_->removeAxis(axis);
        delete axis;
    }
    auto* x = new QValueAxis;
    x->setTitleText(tr("起动后时间 (s)"));
    x->setLabelFormat(QStringLiteral("%.0f"));
    auto* y = new QValueAxis;
    y->setTitleText(tr("电流 (A)"));
    Chart_->addAxis(x, Qt::AlignBottom);
    Chart_->addAxis(y, Qt::AlignLeft);
    double longest = 1;
    double highest = 1;
    for (const QString& id : Compared_) {
        const StartRecord* record = History_.Find(id);
        if (record == nullptr) {
            continue;
        }
        auto* series = new QLineSeries;
        series->setName(id == History_.Baseline() ? tr("%1 (基准)").arg(When(*record))
                                                  : When(*record));
        for (const TrendSample& sample : record->Samples) {
            if (const auto current = Highest(sample)) {
                const double t = static_cast<double>(sample.TimeMs - record->StartAt()) / 1000.0;
                series->append(t, *current);
                longest = std::max(longest, t);
                highest = std::max(highest, *current);
            }
        }
        if (id == History_.Baseline()) {
            QPen pen = series->pen();
            pen.setWidth(3);
            series->setPen(pen);
        }
        Chart_->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
    }
    x->setRange(0, longest);
    x->applyNiceNumbers();
    y->setRange(0, highest * 1.1);
    y->applyNiceNumbers();
}

void CStartsWindow::FillCompareTable() {
    CompareTable_->setRowCount(0);
    const StartRecord* baseline = History_.BaselineRecord();
    for (const QString& id : Compared_) {
        const StartRecord* record = History_.Find(id);
        if (record == nullptr) {
            continue;
        }
        const int row = CompareTable_->rowCount();
        CompareTable_->insertRow(row);
        const bool isBaseline = baseline != nullptr && baseline->Id == id;
        const StartChange change =
            baseline != nullptr && !isBaseline ? CompareStarts(*record, *baseline) : StartChange{};
        const QString none = isBaseline ? tr("基准") : QStringLiteral("—");
        CompareTable_->setItem(row, 0, Item(When(*record), id));
        CompareTable_->setItem(row, 1,
                               Item(QString::number(record->Judgement.PeakCurrent, 'f', 2)));
        CompareTable_->setItem(
            row, 2, Item(change.PeakPercent ? PercentChange(*change.PeakPercent) : none));
        CompareTable_->setItem(
            row, 3,
            Item(record->Judgement.SettledAfter
                     ? QString::number(
                           static_cast<double>(*record->Judgement.SettledAfter) / 1000.0, 'f', 1)
                     : QStringLiteral("—")));
        CompareTable_->setItem(
            row, 4, Item(change.SettledSeconds ? SecondsChange(*change.SettledSeconds) : none));
        CompareTable_->setItem(
            row, 5,
            Item(record->DipPercent ? QString::number(*record->DipPercent, 'f', 1)
                                    : QStringLiteral("—")));
        CompareTable_->setItem(row, 6,
                               Item(change.DipPoints ? PointsChange(*change.DipPoints) : none));
    }
}

}  // namespace mp
