#include "diagnostics/MonitorWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "diagnostics/MonitorModel.h"
#include "dialogs/DialogService.h"

namespace mp {

CMonitorWindow::CMonitorWindow(CExchangeLog& log, IDialogService& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), Log_(log), Dialogs_(dialogs) {
    Model_ = new CMonitorModel(log, this);

    FilterLabel_ = new QLabel(this);
    Filter_ = new QComboBox(this);
    FilterLabel_->setBuddy(Filter_);
    // The first two choices; the operations seen follow, each with its key as data.
    Filter_->addItem(QString());
    Filter_->addItem(QString());
    Pause_ = new QPushButton(this);
    Pause_->setCheckable(true);
    auto* clear = new QPushButton(this);
    auto* resetCounters = new QPushButton(this);
    auto* save = new QPushButton(this);
    Clear_ = clear;
    ResetCounters_ = resetCounters;
    Save_ = save;
    ShowRaw_ = new QCheckBox(this);
    Filter_->setObjectName(QStringLiteral("filter"));
    Pause_->setObjectName(QStringLiteral("pause"));
    clear->setObjectName(QStringLiteral("clear"));
    resetCounters->setObjectName(QStringLiteral("resetCounters"));
    save->setObjectName(QStringLiteral("save"));
    ShowRaw_->setObjectName(QStringLiteral("showRaw"));

    // How many of the newest exchanges are kept.
    KeepLabel_ = new QLabel(this);
    auto* keep = new QSpinBox(this);
    keep->setObjectName(QStringLiteral("keep"));
    KeepLabel_->setBuddy(keep);
    keep->setRange(100, 1000000);
    keep->setSingleStep(1000);
    keep->setValue(static_cast<int>(std::min<size_t>(log.Capacity(), 1000000)));

    auto* bar = new QHBoxLayout;
    bar->addWidget(FilterLabel_);
    bar->addWidget(Filter_, 1);
    bar->addWidget(Pause_);
    bar->addWidget(clear);
    bar->addWidget(resetCounters);
    bar->addWidget(save);
    bar->addWidget(ShowRaw_);
    bar->addWidget(KeepLabel_);
    bar->addWidget(keep);

    Table_ = new QTableView(this);
    Table_->setModel(Model_);
    Table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table_->setSelectionMode(QAbstractItemView::SingleSelection);
    Table_->verticalHeader()->hide();
    Table_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    Table_->horizontalHeader()->setStretchLastSection(true);
    const int widths[] = {70, 50, 40, 50, 110, 50, 40, 65};
    for (int c = 0; c < 8; ++c) {
        Table_->setColumnWidth(c, widths[c]);
    }

    Raw_ = new QPlainTextEdit(this);
    Raw_->setReadOnly(true);
    Raw_->setMaximumHeight(fontMetrics().height() * 4);
    Raw_->setVisible(false);

    Counters_ = new QLabel(this);
    Counters_->setWordWrap(true);
    Counters_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(Table_, 1);
    layout->addWidget(Raw_);
    layout->addWidget(Counters_);
    resize(1000, 480);

    Timer_ = new QTimer(this);
    Timer_->setInterval(kRefreshMs);
    connect(Timer_, &QTimer::timeout, this, &CMonitorWindow::Refresh);
    connect(Pause_, &QPushButton::toggled, this, [this](bool paused) {
        RetranslatePause();
        if (!paused) {
            Refresh();
        }
    });
    connect(clear, &QPushButton::clicked, this, [this] {
        Model_->Clear();
        Raw_->clear();
        Refresh();
    });
    connect(resetCounters, &QPushButton::clicked, this, [this] {
        Log_.ResetCounters();
        Refresh();
    });
    connect(save, &QPushButton::clicked, this, &CMonitorWindow::Save);
    connect(keep, &QSpinBox::editingFinished, this, [this, keep] {
        Log_.SetCapacity(static_cast<size_t>(keep->value()));
        ApplyFilter();
    });
    connect(Filter_, qOverload<int>(&QComboBox::activated), this, [this] { ApplyFilter(); });
    connect(ShowRaw_, &QCheckBox::toggled, this, [this](bool on) {
        Raw_->setVisible(on);
        ShowRaw();
    });
    connect(Table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { ShowRaw(); });
    RetranslateTexts();
}

void CMonitorWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        RetranslateTexts();
        Model_->Retranslate();
        ShowRaw();
        Counters_->setText(CountersText());
    }
    QWidget::changeEvent(event);
}

void CMonitorWindow::RetranslateTexts() {
    setWindowTitle(tr("通讯监视"));
    FilterLabel_->setText(tr("显示:"));
    Filter_->setItemText(0, tr("全部"));
    Filter_->setItemText(1, tr("仅错误"));
    // The operations by their keys: the chosen one stays chosen.
    const ExchangeCounters counters = Log_.Counters();
    for (int k = 2; k < Filter_->count(); ++k) {
        const auto found =
            counters.PerOperation.find(Filter_->itemData(k).toString().toStdString());
        if (found != counters.PerOperation.end()) {
            Filter_->setItemText(k, OperationText(found->first, found->second));
        }
    }
    RetranslatePause();
    Clear_->setText(tr("清除"));
    ResetCounters_->setText(tr("计数清零"));
    Save_->setText(tr("保存..."));
    ShowRaw_->setText(tr("显示原始报文"));
    KeepLabel_->setText(tr("保留条数:"));
    Table_->setAccessibleName(tr("通讯记录"));
    Raw_->setAccessibleName(tr("原始报文"));
}

void CMonitorWindow::RetranslatePause() {
    Pause_->setText(Pause_->isChecked() ? tr("继续") : tr("暂停"));
}

QString CMonitorWindow::OperationText(const std::string& key, const OperationCount& count) {
    return QString::fromStdString(
        count.Request.empty() ? key : CExchangeDecoder::OperationName(count.Request));
}

bool CMonitorWindow::Paused() const {
    return Pause_->isChecked();
}

void CMonitorWindow::OpenMonitor() {
    show();
    raise();
    activateWindow();
    Timer_->start();
    Refresh();
}

void CMonitorWindow::Refresh() {
    if (!isVisible()) {
        Timer_->stop();
    }
    if (!Paused()) {
        DecodeContext context;
        context.CtRatio = CtRatio_ ? CtRatio_() : 0;
        Model_->SetContext(context);
        const bool atEnd = Table_->currentIndex().row() < 0 ||
                           Table_->currentIndex().row() == Model_->rowCount() - 1;
        if (Model_->Refresh() > 0 && atEnd) {
            Table_->scrollToBottom();
        }
    }
    UpdateFilterChoices();
    Counters_->setText(CountersText());
}

void CMonitorWindow::UpdateFilterChoices() {
    const ExchangeCounters counters = Log_.Counters();
    for (const auto& [operation, count] : counters.PerOperation) {
        const QString key = QString::fromStdString(operation);
        if (Filter_->findData(key) < 0) {
            Filter_->addItem(OperationText(operation, count), key);
        }
    }
}

void CMonitorWindow::ApplyFilter() {
    const int index = Filter_->currentIndex();
    if (index <= 0) {
        Model_->SetFilter(CMonitorModel::Filter::All);
    } else if (index == 1) {
        Model_->SetFilter(CMonitorModel::Filter::Errors);
    } else {
        Model_->SetFilter(CMonitorModel::Filter::Operation, Filter_->currentData().toString());
    }
    Table_->scrollToBottom();
}

void CMonitorWindow::ShowRaw() {
    if (ShowRaw_->isChecked()) {
        Raw_->setPlainText(Model_->RawHex(Table_->currentIndex().row()));
    }
}

QString CMonitorWindow::CountersText(const ExchangeCounters& c) {
    QString text = tr("请求 %1, 正常应答 %2, 无应答 %3, CRC错误 %4, 异常应答 %5, "
                      "无效应答 %6, 丢弃多余字节 %7, 丢弃迟到应答 %8 字节")
                       .arg(c.Requests)
                       .arg(c.GoodReplies)
                       .arg(c.NoReply)
                       .arg(c.BadCrc)
                       .arg(c.Exceptions)
                       .arg(c.Invalid)
                       .arg(c.StrayBytes)
                       .arg(c.LateBytes);
    QStringList ratios;
    for (const auto& [operation, count] : c.PerOperation) {
        if (count.Asked > 0) {
            ratios << QStringLiteral("%1 %2/%3 (%4%)")
                          .arg(OperationText(operation, count))
                          .arg(count.Good)
                          .arg(count.Asked)
                          .arg(100.0 * static_cast<double>(count.Good) /
                                   static_cast<double>(count.Asked),
                               0, 'f', 1);
        }
    }
    if (!ratios.isEmpty()) {
        text += '\n' + tr("成功率: %1").arg(ratios.join(QStringLiteral("; ")));
    }
    return text;
}

QString CMonitorWindow::CountersText() const {
    return CountersText(Log_.Counters());
}

void CMonitorWindow::Save() {
    const QString name =
        Dialogs_.SaveFileName(this, tr("保存通讯记录"), tr("通讯记录.csv"),
                              tr("CSV 文件 (*.csv);;文本文件 (*.txt)"), QStringLiteral("csv"));
    if (name.isEmpty()) {
        return;
    }
    const bool csv = !name.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive);
    const QString content = csv ? Model_->Csv() : Model_->Text() + '\n' + CountersText() + '\n';
    // Written beside the old file and put in its place only when whole: a failed save leaves
    // the old file as it was.
    QSaveFile file(name);
    QByteArray bytes = content.toUtf8();
    if (csv) {
        bytes.prepend("\xEF\xBB\xBF");  // spreadsheet programs then read the Chinese right
    }
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(bytes) != bytes.size() || !file.commit()) {
        Dialogs_.Inform(this, tr("无法保存通讯记录到 %1: %2").arg(name, file.errorString()));
    }
}

}  // namespace mp
