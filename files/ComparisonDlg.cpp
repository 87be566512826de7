#include "files/ComparisonDlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace mp {
namespace {

enum Column { kCaption = 0, kDevice, kWindow, kDefault, kMark, kColumnCount };

const QString kDifferentMark = QStringLiteral("不同");

QLabel* PlainLabel(const QString& text, const QString& name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

}  // namespace

QColor CComparisonDlg::DifferenceColour() {
    return QColor(255, 205, 205);
}

CComparisonDlg::CComparisonDlg(const ComparisonView& view, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("与设备比较"));
    auto* layout = new QVBoxLayout(this);

    const int differences = view.Differences();
    const QString summary = differences == 0
                                ? QStringLiteral("设备中的定值与%1一致。").arg(view.WindowHeader)
                                : QStringLiteral("有 %1 项定值与%2不同，已标为“不同”。")
                                      .arg(differences)
                                      .arg(view.WindowHeader);
    layout->addWidget(PlainLabel(view.DeviceHeader, QStringLiteral("deviceLabel"), this));
    layout->addWidget(PlainLabel(summary, QStringLiteral("summaryLabel"), this));

    Table_ = new QTableWidget(this);
    Table_->setObjectName(QStringLiteral("comparisonTable"));
    Table_->setAccessibleName(QStringLiteral("定值比较"));
    FillTable(view);
    layout->addWidget(Table_);

    if (!view.Records.isEmpty()) {
        layout->addWidget(PlainLabel(view.Records, QStringLiteral("recordsLabel"), this));
    }

    auto* buttons = new QHBoxLayout;
    auto* takeDevice = new QPushButton(QStringLiteral("全部取设备值"), this);
    takeDevice->setObjectName(QStringLiteral("takeDeviceButton"));
    auto* takeFile = new QPushButton(QStringLiteral("全部取文件值"), this);
    takeFile->setObjectName(QStringLiteral("takeFileButton"));
    takeFile->setEnabled(view.CanTakeFile);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    close->setDefault(true);
    close->setFocus();
    buttons->addWidget(takeDevice);
    buttons->addWidget(takeFile);
    buttons->addStretch(1);
    buttons->addWidget(close);
    layout->addLayout(buttons);

    connect(takeDevice, &QPushButton::clicked, this,
            [this] { Choose(ComparisonChoice::TakeDevice); });
    connect(takeFile, &QPushButton::clicked, this, [this] { Choose(ComparisonChoice::TakeFile); });
    connect(close, &QPushButton::clicked, this, [this] { Choose(ComparisonChoice::Close); });
}

void CComparisonDlg::FillTable(const ComparisonView& view) {
    Table_->setColumnCount(kColumnCount);
    Table_->setRowCount(static_cast<int>(view.Rows.size()));
    Table_->setHorizontalHeaderLabels({QStringLiteral("定值"), QStringLiteral("设备"),
                                       view.WindowHeader, QStringLiteral("出厂值"),
                                       QStringLiteral("比较")});
    Table_->verticalHeader()->setVisible(false);
    Table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table_->setWordWrap(false);
    // The corner button selects every row; it says so to assistive technology.
    if (auto* corner = Table_->findChild<QAbstractButton*>()) {
        corner->setText(QStringLiteral("全选"));
    }

    QFont bold = Table_->font();
    bold.setBold(true);
    for (size_t r = 0; r < view.Rows.size(); ++r) {
        const ComparisonRow& row = view.Rows[r];
        const QString cells[kColumnCount] = {
            row.Caption, row.Device, row.Window,
            row.Default.isEmpty() ? QStringLiteral("—") : row.Default,
            row.Differs ? kDifferentMark : QString()};
        for (int c = 0; c < kColumnCount; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (row.Differs) {
                item->setBackground(DifferenceColour());
                item->setForeground(Qt::black);
                item->setFont(bold);
            }
            Table_->setItem(static_cast<int>(r), c, item);
        }
    }
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
