#include "plant/OverviewDlg.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "dialogs/DialogService.h"
#include "language/CsvText.h"
#include "plant/FeederStates.h"
#include "plant/OverviewModel.h"

namespace mp {
namespace {

constexpr int kAgeRefreshMs = 1000;

// The inputs and outputs as rows of small lamps: red for a 1 (closed, on), green for a 0,
// grey when unknown; greyed out when stale. The text stays the cell's accessible text.
class CLampDelegate : public QStyledItemDelegate {
public:
    CLampDelegate(int count, QObject* parent) : QStyledItemDelegate(parent), Count_(count) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        // The cell's background and selection without its text: the lamps say it.
        QStyleOptionViewItem plain = option;
        initStyleOption(&plain, index);
        plain.text.clear();
        const QWidget* widget = option.widget;
        QStyle* style = widget != nullptr ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &plain, painter, widget);
        const int bits = index.data(COverviewModel::BitsRole).toInt();
        const bool stale = index.data(COverviewModel::StaleRole).toBool();
        const int size = std::min(option.rect.height() - 6, 10);
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        int x = option.rect.left() + 4;
        const int y = option.rect.center().y() - size / 2;
        for (int k = 0; k < Count_; ++k) {
            QColor colour = bits < 0          ? QColor(190, 190, 190)
                            : (bits >> k & 1) ? QColor(220, 30, 30)
                                              : QColor(30, 170, 60);
            if (stale && bits >= 0) {
                colour = colour.lighter(160);
            }
            painter->setPen(Qt::NoPen);
            painter->setBrush(colour);
            painter->drawEllipse(QRect(x, y, size, size));
            x += size + 3;
        }
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QSize text = QStyledItemDelegate::sizeHint(option, index);
        return {std::max(text.width(), 8 + Count_ * 13), text.height()};
    }

private:
    int Count_;
};

// Rows of the chosen line and state.
class CFeederFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void Choose(const QString& line, int link) {
        Line_ = line;
        Link_ = link;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const QModelIndex line = sourceModel()->index(row, COverviewModel::LineColumn, parent);
        const QModelIndex state = sourceModel()->index(row, COverviewModel::State, parent);
        return (Line_.isEmpty() || line.data().toString() == Line_) &&
               (Link_ < 0 || state.data(COverviewModel::LinkRole).toInt() == Link_);
    }

private:
    QString Line_;
    int Link_ = -1;
};

}  // namespace

COverviewDlg::COverviewDlg(IDialogService& dialogs, QWidget* parent)
    : QMainWindow(parent), Dialogs_(dialogs) {
    setWindowTitle(tr("厂站总览"));
    PlantMenu_ = menuBar()->addMenu(tr("厂站"));
    NewPlant_ = PlantMenu_->addAction(tr("新建厂站..."));
    OpenPlant_ = PlantMenu_->addAction(tr("打开厂站..."));
    SavePlant_ = PlantMenu_->addAction(tr("保存厂站"));
    EditPlant_ = PlantMenu_->addAction(tr("编辑厂站..."));
    Recent_ = PlantMenu_->addMenu(tr("最近的厂站"));
    PlantMenu_->addSeparator();
    WatchBroker_ = PlantMenu_->addAction(tr("连接到服务器..."));
    PlantMenu_->addSeparator();
    QAction* exportCsv = PlantMenu_->addAction(tr("导出CSV..."));
    connect(exportCsv, &QAction::triggered, this, &COverviewDlg::ExportCsv);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    auto* filters = new QHBoxLayout;
    auto* lineLabel = new QLabel(tr("线路"), central);
    LineFilter_ = new QComboBox(central);
    LineFilter_->setAccessibleName(lineLabel->text());
    lineLabel->setBuddy(LineFilter_);
    auto* stateLabel = new QLabel(tr("状态"), central);
    StateFilter_ = new QComboBox(central);
    StateFilter_->setAccessibleName(stateLabel->text());
    stateLabel->setBuddy(StateFilter_);
    StateFilter_->addItem(tr("全部"), -1);
    for (FeederLink link : {FeederLink::Answering, FeederLink::Stale, FeederLink::NotAnswering,
                            FeederLink::LineLost, FeederLink::Unknown}) {
        StateFilter_->addItem(COverviewModel::LinkText(link), static_cast<int>(link));
    }
    auto* exportButton = new QPushButton(tr("导出CSV..."), central);
    connect(exportButton, &QPushButton::clicked, this, &COverviewDlg::ExportCsv);
    filters->addWidget(lineLabel);
    filters->addWidget(LineFilter_);
    filters->addWidget(stateLabel);
    filters->addWidget(StateFilter_);
    filters->addStretch();
    filters->addWidget(exportButton);
    layout->addLayout(filters);

    Table_ = new QTableView(central);
    Table_->setAccessibleName(tr("馈线"));
    Table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table_->setSelectionMode(QAbstractItemView::SingleSelection);
    Table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table_->setSortingEnabled(true);
    Table_->verticalHeader()->hide();
    Table_->verticalHeader()->setDefaultSectionSize(Table_->fontMetrics().height() + 6);
    Table_->setItemDelegateForColumn(COverviewModel::Inputs, new CLampDelegate(8, Table_));
    Table_->setItemDelegateForColumn(COverviewModel::Outputs, new CLampDelegate(3, Table_));
    layout->addWidget(Table_);
    setCentralWidget(central);
    connect(Table_, &QTableView::activated, this, [this] { OpenCurrent(); });

    LineText_ = new QLabel(this);
    statusBar()->addWidget(LineText_, 1);

    auto* proxy = new CFeederFilter(this);
    proxy->setSortRole(Qt::UserRole);
    Proxy_ = proxy;
    Table_->setModel(Proxy_);
    connect(LineFilter_, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &COverviewDlg::ApplyFilter);
    connect(StateFilter_, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &COverviewDlg::ApplyFilter);

    Ages_ = new QTimer(this);
    Ages_->setInterval(kAgeRefreshMs);
    connect(Ages_, &QTimer::timeout, this, [this] {
        if (Model_ != nullptr) {
            Model_->RefreshAges();
        }
    });
    resize(1400, 640);
}

COverviewDlg::~COverviewDlg() = default;

void COverviewDlg::SetReadOnly(bool readOnly) {
    SavePlant_->setEnabled(!readOnly && Model_ != nullptr);
    EditPlant_->setEnabled(!readOnly && Model_ != nullptr);
}

void COverviewDlg::ShowPlant(const QString& title, const CFeederStates* states,
                             const QStringList& lineNames, std::function<int64_t()> now) {
    Proxy_->setSourceModel(nullptr);
    delete Model_;
    Model_ = nullptr;
    setWindowTitle(title.isEmpty() ? tr("厂站总览") : tr("厂站总览 - %1").arg(title));
    LineFilter_->blockSignals(true);
    LineFilter_->clear();
    LineFilter_->addItem(tr("全部"));
    LineFilter_->addItems(lineNames);
    LineFilter_->blockSignals(false);
    SavePlant_->setEnabled(states != nullptr);
    EditPlant_->setEnabled(states != nullptr);
    if (states == nullptr) {
        Ages_->stop();
        return;
    }
    Model_ = new COverviewModel(*states, lineNames, std::move(now), this);
    Proxy_->setSourceModel(Model_);
    Table_->sortByColumn(COverviewModel::Tag, Qt::AscendingOrder);
    Table_->sortByColumn(-1, Qt::AscendingOrder);  // the plant's order until the operator sorts
    Table_->resizeColumnsToContents();
    // Widths for the longest texts these columns take, set once: a column sized to its
    // contents would measure every row again at each of the many updates a second.
    const QFontMetrics metrics = Table_->fontMetrics();
    const int padding = 2 * metrics.averageCharWidth();
    auto atLeast = [this, padding, &metrics](int column, const QString& widest) {
        const int width = metrics.horizontalAdvance(widest) + padding;
        Table_->setColumnWidth(column, std::max(Table_->columnWidth(column), width));
    };
    for (FeederLink link : {FeederLink::Stale, FeederLink::NotAnswering, FeederLink::LineLost}) {
        atLeast(COverviewModel::State,
                COverviewModel::tr("%1 自 %2")
                    .arg(COverviewModel::LinkText(link), QStringLiteral("00:00:00")));
    }
    atLeast(COverviewModel::Inputs, QString(8 * 2, QLatin1Char('0')));
    atLeast(COverviewModel::Outputs, QString(3 * 2, QLatin1Char('0')));
    atLeast(COverviewModel::Age, COverviewModel::tr("%1 s 前").arg(99999));
    atLeast(COverviewModel::Events, QString(28, QLatin1Char('0')));
    ApplyFilter();
    Ages_->start();
}

void COverviewDlg::SetLineText(const QString& text) {
    LineText_->setText(text);
    LineText_->setAccessibleName(text);
}

void COverviewDlg::ApplyFilter() {
    const QString line = LineFilter_->currentIndex() > 0 ? LineFilter_->currentText() : QString();
    static_cast<CFeederFilter*>(Proxy_)->Choose(line, StateFilter_->currentData().toInt());
}

void COverviewDlg::OpenCurrent() {
    const QModelIndex shown = Table_->currentIndex();
    if (shown.isValid() && Model_ != nullptr) {
        emit OpenFeeder(Proxy_->mapToSource(shown).row());
    }
}

QByteArray COverviewDlg::Csv() const {
    QString csv;
    QStringList heading;
    for (int column = 0; column < Proxy_->columnCount(); ++column) {
        heading << CsvField(Proxy_->headerData(column, Qt::Horizontal).toString());
    }
    csv += heading.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    for (int row = 0; row < Proxy_->rowCount(); ++row) {
        QStringList fields;
        for (int column = 0; column < Proxy_->columnCount(); ++column) {
            fields << CsvField(Proxy_->index(row, column).data().toString());
        }
        csv += fields.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return QByteArray("\xEF\xBB\xBF") + csv.toUtf8();
}

void COverviewDlg::ExportCsv() {
    const QString path = Dialogs_.SaveFileName(this, tr("导出CSV"), tr("厂站总览.csv"),
                                               tr("CSV 文件 (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty()) {
        return;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(Csv()) < 0 || !file.commit()) {
        Dialogs_.Inform(this, tr("无法写入文件 %1：%2").arg(path, file.errorString()));
    }
}

void COverviewDlg::closeEvent(QCloseEvent* event) {
    emit Closing();
    event->accept();
}

}  // namespace mp
