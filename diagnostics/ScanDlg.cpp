#include "diagnostics/ScanDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <iterator>

#include "device/LineCodes.h"
#include "dialogs/DialogService.h"
#include "language/Text.h"
#include "modbus/DeviceContext.h"

namespace mp {

QString ParityText(int parity) {
    return QString::fromStdString(Tr(ParityTextOf(parity)));
}

CScanDlg::CScanDlg(ScanHost host, IDialogService& dialogs, QWidget* parent)
    : QDialog(parent), Host_(std::move(host)), Dialogs_(dialogs) {
    First_ = new QSpinBox(this);
    First_->setRange(1, 247);
    First_->setValue(1);
    Last_ = new QSpinBox(this);
    Last_->setRange(1, 247);
    Last_->setValue(247);
    Baud_ = new QComboBox(this);
    Baud_->addItem(QString(), 0);  // every rate
    for (int rate : CBusScan::AllBaudRates()) {
        Baud_->addItem(QString::number(rate), rate);
    }
    Parity_ = new QComboBox(this);
    Parity_->addItem(QString(), -1);  // every parity
    for (int parity : CBusScan::AllParities()) {
        Parity_->addItem(QString(), parity);
    }
    Margin_ = new QSpinBox(this);
    Margin_->setRange(5, 2000);
    Margin_->setValue(static_cast<int>(ScanPlan{}.MarginMs));
    Margin_->setSuffix(QStringLiteral(" ms"));
    Estimate_ = new QLabel(this);

    if (Host_.Line) {
        const PortSettings line = Host_.Line();
        Baud_->setCurrentIndex(std::max(0, Baud_->findData(line.BaudRate)));
        Parity_->setCurrentIndex(std::max(0, Parity_->findData(line.Parity)));
    }

    auto* form = new QFormLayout;
    QWidget* const fields[] = {First_, Last_, Baud_, Parity_, Margin_, Estimate_};
    for (size_t k = 0; k < std::size(fields); ++k) {
        Labels_[k] = new QLabel(this);
        Labels_[k]->setBuddy(fields[k]);
        form->addRow(Labels_[k], fields[k]);
    }

    Progress_ = new QProgressBar(this);
    Progress_->setRange(0, 1);
    Progress_->setValue(0);

    Table_ = new QTableWidget(0, 5, this);
    Table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table_->setSelectionMode(QAbstractItemView::SingleSelection);
    Table_->verticalHeader()->hide();
    Table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Table_->horizontalHeader()->setStretchLastSection(true);

    Status_ = new QLabel(this);
    Status_->setWordWrap(true);

    Start_ = new QPushButton(this);
    StopButton_ = new QPushButton(this);
    Connect_ = new QPushButton(this);
    Export_ = new QPushButton(this);
    auto* close = new QPushButton(this);
    Close_ = close;
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Start_);
    buttons->addWidget(StopButton_);
    buttons->addStretch(1);
    buttons->addWidget(Connect_);
    buttons->addWidget(Export_);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Progress_);
    layout->addWidget(Table_, 1);
    layout->addWidget(Status_);
    layout->addLayout(buttons);
    resize(520, 480);

    connect(Start_, &QPushButton::clicked, this, &CScanDlg::StartScan);
    connect(StopButton_, &QPushButton::clicked, this, &CScanDlg::StopScan);
    connect(Connect_, &QPushButton::clicked, this, &CScanDlg::ConnectSelected);
    connect(Export_, &QPushButton::clicked, this, &CScanDlg::ExportCsv);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(Table_, &QTableWidget::itemSelectionChanged, this, &CScanDlg::UpdateButtons);
    for (QSpinBox* box : {First_, Last_, Margin_}) {
        connect(box, qOverload<int>(&QSpinBox::valueChanged), this, &CScanDlg::UpdateEstimate);
    }
    for (QComboBox* box : {Baud_, Parity_}) {
        connect(box, qOverload<int>(&QComboBox::currentIndexChanged), this,
                &CScanDlg::UpdateEstimate);
    }
    RetranslateTexts();
    UpdateButtons();
}

void CScanDlg::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        RetranslateTexts();
    }
    QDialog::changeEvent(event);
}

void CScanDlg::RetranslateTexts() {
    setWindowTitle(tr("搜索设备"));
    const char* const labels[] = {QT_TR_NOOP("起始地址"), QT_TR_NOOP("结束地址"),
                                  QT_TR_NOOP("波特率"),   QT_TR_NOOP("校验"),
                                  QT_TR_NOOP("应答余量"), QT_TR_NOOP("预计用时")};
    for (size_t k = 0; k < std::size(labels); ++k) {
        Labels_[k]->setText(tr(labels[k]));
    }
    // The items keep their data (rate, parity code), so the choice stays.
    Baud_->setItemText(0, tr("全部"));
    Parity_->setItemText(0, tr("全部"));
    for (int k = 1; k < Parity_->count(); ++k) {
        Parity_->setItemText(k, ParityText(Parity_->itemData(k).toInt()));
    }
    Progress_->setAccessibleName(tr("搜索进度"));
    Table_->setAccessibleName(tr("找到的设备"));
    Table_->setHorizontalHeaderLabels(
        {tr("地址"), tr("波特率"), tr("校验"), tr("设备存储地址"), tr("波特率代码")});
    for (int row = 0; row < Table_->rowCount() && row < static_cast<int>(Found_.size()); ++row) {
        if (QTableWidgetItem* item = Table_->item(row, 2)) {
            item->setText(ParityText(Found_[static_cast<size_t>(row)].Parity));
        }
    }
    Start_->setText(tr("开始搜索"));
    StopButton_->setText(tr("停止"));
    Connect_->setText(tr("连接"));
    Export_->setText(tr("导出CSV..."));
    Close_->setText(tr("关闭"));
    UpdateEstimate();
    ShowStatus();
}

void CScanDlg::ShowStatus() {
    const QString seconds = QString::number(ElapsedMs_ / 1000.0, 'f', 1);
    switch (State_) {
        case ScanState::Idle:
            Status_->clear();
            break;
        case ScanState::Running:
            Status_->setText(tr("正在搜索..."));
            break;
        case ScanState::Completed:
            Status_->setText(
                tr("搜索完成, 找到 %1 台设备, 用时 %2 秒.").arg(Found_.size()).arg(seconds));
            break;
        case ScanState::Stopped:
            Status_->setText(
                tr("搜索已停止, 找到 %1 台设备, 用时 %2 秒.").arg(Found_.size()).arg(seconds));
            break;
        case ScanState::PortFailed:
            Status_->setText(tr("串口无法改为所选的波特率或校验, 搜索中止."));
            break;
        case ScanState::Connecting:
            Status_->setText(tr("正在连接地址 %1，%2 波特，%3...")
                                 .arg(Connecting_.Address)
                                 .arg(Connecting_.BaudRate)
                                 .arg(ParityText(Connecting_.Parity)));
            break;
        case ScanState::Connected:
            Status_->setText(tr("已连接到地址 %1，%2 波特，%3")
                                 .arg(Connecting_.Address)
                                 .arg(Connecting_.BaudRate)
                                 .arg(ParityText(Connecting_.Parity)));
            break;
        case ScanState::ConnectFailed:
            Status_->setText(tr("未能连接到地址 %1，%2 波特，%3")
                                 .arg(Connecting_.Address)
                                 .arg(Connecting_.BaudRate)
                                 .arg(ParityText(Connecting_.Parity)));
            break;
    }
}

CScanDlg::~CScanDlg() {
    // A scan still running ends at its next address; its results find no dialog.
    if (Stop_) {
        Stop_->store(true);
    }
}

ScanPlan CScanDlg::Plan() const {
    ScanPlan plan;
    plan.FirstAddress = std::min(First_->value(), Last_->value());
    plan.LastAddress = std::max(First_->value(), Last_->value());
    const int baud = Baud_->currentData().toInt();
    plan.BaudRates = baud == 0 ? CBusScan::AllBaudRates() : std::vector<int>{baud};
    const int parity = Parity_->currentData().toInt();
    plan.Parities = parity < 0 ? CBusScan::AllParities() : std::vector<int>{parity};
    plan.MarginMs = static_cast<uint32_t>(Margin_->value());
    if (Host_.Line) {
        plan.Line = Host_.Line();
    }
    return plan;
}

void CScanDlg::UpdateEstimate() {
    const double seconds = static_cast<double>(CBusScan::PlanMs(Plan())) / 1000.0;
    Estimate_->setText(
        tr("约 %1 秒 (%2 次读取)").arg(seconds, 0, 'f', 1).arg(CBusScan::Steps(Plan())));
}

void CScanDlg::UpdateButtons() {
    Start_->setEnabled(!Running_);
    StopButton_->setEnabled(Running_);
    Connect_->setEnabled(!Running_ && Table_->currentRow() >= 0);
    Export_->setEnabled(!Found_.empty());
    for (QWidget* input : std::initializer_list<QWidget*>{First_, Last_, Baud_, Parity_, Margin_}) {
        input->setEnabled(!Running_);
    }
}

void CScanDlg::StartScan() {
    if (Running_ || !Host_.MayStart || !Host_.MayStart()) {
        return;
    }
    const ScanPlan plan = Plan();
    Found_.clear();
    Table_->setRowCount(0);
    Progress_->setRange(0, std::max(1, CBusScan::Steps(plan)));
    Progress_->setValue(0);
    Running_ = true;
    State_ = ScanState::Running;
    ShowStatus();
    UpdateButtons();
    auto stop = std::make_shared<std::atomic<bool>>(false);
    Stop_ = stop;
    QPointer<CScanDlg> self(this);
    Host_.RunOnDevice([stop, plan, self](CDeviceContext& ctx) {
        const uint32_t started = ctx.Link.Clock().TickCount();
        const ScanEnd end = CBusScan::Run(
            ctx.Link, plan, *stop,
            [&ctx, self](const FoundDevice& device) {
                ctx.Post([self, device] {
                    if (self) {
                        self->AddFound(device);
                    }
                });
            },
            [&ctx, stop, self](int done, int total) {
                // The program closing ends the scan at its next address too.
                if (ctx.Stopped()) {
                    stop->store(true);
                }
                ctx.Post([self, done, total] {
                    if (self) {
                        self->SetProgress(done, total);
                    }
                });
            });
        const uint32_t elapsed = ctx.Link.Clock().TickCount() - started;
        ctx.Post([self, end, elapsed] {
            if (self) {
                self->Finished(end, elapsed);
            }
        });
    });
}

void CScanDlg::StopScan() {
    if (Stop_) {
        Stop_->store(true);
    }
}

void CScanDlg::AddFound(const FoundDevice& device) {
    Found_.push_back(device);
    const int row = Table_->rowCount();
    Table_->insertRow(row);
    const QString cells[] = {QString::number(device.Address), QString::number(device.BaudRate),
                             ParityText(device.Parity), QString::number(device.StoredAddress),
                             QString::number(device.StoredBaudCode)};
    for (int c = 0; c < 5; ++c) {
        Table_->setItem(row, c, new QTableWidgetItem(cells[c]));
    }
    UpdateButtons();
}

void CScanDlg::SetProgress(int done, int total) {
    Progress_->setRange(0, std::max(1, total));
    Progress_->setValue(done);
}

void CScanDlg::Finished(ScanEnd end, uint32_t elapsedMs) {
    Running_ = false;
    ElapsedMs_ = elapsedMs;
    switch (end) {
        case ScanEnd::Completed:
            State_ = ScanState::Completed;
            break;
        case ScanEnd::Stopped:
            State_ = ScanState::Stopped;
            break;
        case ScanEnd::PortFailed:
            State_ = ScanState::PortFailed;
            break;
    }
    ShowStatus();
    UpdateButtons();
}

void CScanDlg::ConnectSelected() {
    const int row = Table_->currentRow();
    if (Running_ || row < 0 || row >= static_cast<int>(Found_.size()) || !Host_.Connect) {
        return;
    }
    Connecting_ = Found_[static_cast<size_t>(row)];
    State_ = ScanState::Connecting;
    ShowStatus();
    QPointer<CScanDlg> self(this);
    Host_.Connect(Connecting_, [self](bool connected) {
        if (self) {
            self->ConnectEnded(connected);
        }
    });
}

void CScanDlg::ConnectEnded(bool connected) {
    if (State_ == ScanState::Connecting) {
        State_ = connected ? ScanState::Connected : ScanState::ConnectFailed;
        ShowStatus();
    }
}

QString CScanDlg::Csv() const {
    QString text =
        QStringLiteral("%1,%2,%3,%4,%5\r\n")
            .arg(tr("地址"), tr("波特率"), tr("校验"), tr("设备存储地址"), tr("波特率代码"));
    for (const FoundDevice& d : Found_) {
        text += QStringLiteral("%1,%2,%3,%4,%5\r\n")
                    .arg(d.Address)
                    .arg(d.BaudRate)
                    .arg(ParityText(d.Parity))
                    .arg(d.StoredAddress)
                    .arg(d.StoredBaudCode);
    }
    return text;
}

void CScanDlg::ExportCsv() {
    const QString name = Dialogs_.SaveFileName(this, tr("导出设备列表"), tr("设备列表.csv"),
                                               tr("CSV 文件 (*.csv)"), QStringLiteral("csv"));
    if (name.isEmpty()) {
        return;
    }
    // A failed export leaves an older list of that name whole.
    QSaveFile file(name);
    const QByteArray bytes = "\xEF\xBB\xBF" + Csv().toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(bytes) != bytes.size() || !file.commit()) {
        Dialogs_.Inform(this, tr("无法导出设备列表到 %1: %2").arg(name, file.errorString()));
    }
}

}  // namespace mp
