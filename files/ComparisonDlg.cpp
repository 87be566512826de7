#include "files/ComparisonDlg.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace mp {
namespace {

enum Column { kCaption = 0, kDevice, kWindow, kDefault, kMark, kColumnCount };

QLabel* PlainLabel(const QString& name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

}  // namespace

QColor CComparisonDlg::DifferenceColour() {
    return QColor(255, 205, 205);
}

CComparisonDlg::CComparisonDlg(const ComparisonView& view, QWidget* parent)
    : QDialog(parent), View_(view) {
    auto* layout = new QVBoxLayout(this);
    DeviceLabel_ = PlainLabel(QStringLiteral("deviceLabel"), this);
    SummaryLabel_ = PlainLabel(QStringLiteral("summaryLabel"), this);
    layout->addWidget(DeviceLabel_);
    layout->addWidget(SummaryLabel_);

    Table_ = new QTableWidget(this);
    Table_->setObjectName(QStringLiteral("comparisonTable"));
    FillTable();
    layout->addWidget(Table_);

    if (!View_.FilePath.isEmpty()) {
        RecordsLabel_ = PlainLabel(QStringLiteral("recordsLabel"), this);
        layout->addWidget(RecordsLabel_);
    }

    auto* buttons = new QHBoxLayout;
    TakeDevice_ = new QPushButton(this);
    TakeDevice_->setObjectName(QStringLiteral("takeDeviceButton"));
    TakeFile_ = new QPushButton(this);
    TakeFile_->setObjectName(QStringLiteral("takeFileButton"));
    TakeFile_->setEnabled(View_.CanTakeFile);
    Close_ = new QPushButton(this);
    Close_->setObjectName(QStringLiteral("closeButton"));
    Close_->setDefault(true);
    Close_->setFocus();
    buttons->addWidget(TakeDevice_);
    buttons->addWidget(TakeFile_);
    buttons->addStretch(1);
    buttons->addWidget(Close_);
    layout->addLayout(buttons);

    RetranslateTexts();
    FitTable();

    connect(TakeDevice_, &QPushButton::clicked, this,
            [this] { Choose(ComparisonChoice::TakeDevice); });
    connect(TakeFile_, &QPushButton::clicked, this, [this] { Choose(ComparisonChoice::TakeFile); });
    connect(Close_, &QPushButton::clicked, this, [this] { Choose(ComparisonChoice::Close); });
}

void CComparisonDlg::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        RetranslateTexts();
    }
    QDialog::changeEvent(event);
}

void CComparisonDlg::RetranslateTexts() {
    setWindowTitle(tr("与设备比较"));
    DeviceLabel_->setText(View_.DeviceHeader());
    const int differences = View_.Differences();
    SummaryLabel_->setText(differences == 0 ? tr("设备中的定值与%1一致。").arg(View_.WindowHeader())
                                            : tr("有 %1 项定值与%2不同，已标为“不同”。")
                                                  .arg(differences)
                                                  .arg(View_.WindowHeader()));
    if (RecordsLabel_ != nullptr) {
        RecordsLabel_->setText(View_.Records());
    }
    Table_->setAccessibleName(tr("定值比较"));
    Table_->setHorizontalHeaderLabels(
        {tr("定值"), tr("设备"), View_.WindowHeader(), tr("出厂值"), tr("比较")});
    // The corner button selects every row; it says so to assistive technology.
    if (auto* corner = Table_->findChild<QAbstractButton*>()) {
        corner->setText(tr("全选"));
    }
    // The items stay, so that the selection does too; only their words change.
    const QString differentMark = tr("不同");
    for (size_t r = 0; r < View_.Rows.size(); ++r) {
        const ComparisonRow& row = View_.Rows[r];
        const QString cells[kColumnCount] = {
            row.ShownCaption(), row.Shown(row.Device), row.Shown(row.Window),
            row.Default.isEmpty() ? QStringLiteral("—") : row.Shown(row.Default),
            row.Differs ? differentMark : QString()};
        for (int c = 0; c < kColumnCount; ++c) {
            Table_->item(static_cast<int>(r), c)->setText(cells[c]);
        }
    }
    TakeDevice_->setText(tr("全部取设备值"));
    TakeFile_->setText(tr("全部取文件值"));
    Close_->setText(tr("关闭"));
}

void CComparisonDlg::FillTable() {
    Table_->setColumnCount(kColumnCount);
    Table_->setRowCount(static_cast<int>(View_.Rows.size()));
    Table_->verticalHeader()->setVisible(false);
    Table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table_->setWordWrap(false);

    QFont bold = Table_->font();
    bold.setBold(true);
    for (size_t r = 0; r < View_.Rows.size(); ++r) {
        const ComparisonRow& row = View_.Rows[r];
        for (int c = 0; c < kColumnCount; ++c) {
            auto* item = new QTableWidgetItem;
            if (row.Differs) {
                item->setBackground(DifferenceColour());
                item->setForeground(Qt::black);
                item->setFont(bold);
            }
            Table_->setItem(static_cast<int>(r), c, item);
        }
    }
}

void CComparisonDlg::FitTable() {
    Table_->resizeColumnsToContents();
    Table_->resizeRowsToContents();
    for (int c = 0; c < kColumnCount; ++c) {
        Table_->setColumnWidth(c, Table_->columnWidth(c) + 16);
    }
    Table_->horizontalHeader()->setStretchLastSection(true);
    Table_->setCurrentItem(nullptr);

    // Room for every row and column, so that nothing needs scrolling on a usual screen.
    const int frame = 2 * Table_->frameWidth();
    int width = frame;
    for (int c = 0; c < kColumnCount; ++c) {
        width += Table_->columnWidth(c);
    }
    int height = frame + Table_->horizontalHeader()->sizeHint().height();
    for (int r = 0; r < Table_->rowCount(); ++r) {
        height += Table_->rowHeight(r);
    }
    Table_->setMinimumSize(width, std::min(height, 720));
}

void CComparisonDlg::Choose(ComparisonChoice choice) {
    Choice_ = choice;
    if (choice == ComparisonChoice::Close) {
        reject();
    } else {
        accept();
    }
}

}  // namespace mp
