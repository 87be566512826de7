#include "diagnostics/MonitorWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "diagnostics/MonitorModel.h"
#include "files/FileDialogs.h"

namespace mp {

namespace {

const char* const kAll = "全部";
const char* const kErrors = "仅错误";

}  // namespace

CMonitorWindow::CMonitorWindow(CExchangeLog& log, IFileDialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), Log_(log), Dialogs_(dialogs) {
    setWindowTitle(QStringLiteral("通讯监视"));
    Model_ = new CMonitorModel(log, this);

    auto* filterLabel = new QLabel(QStringLiteral("显示:"), this);
    Filter_ = new QComboBox(this);
    filterLabel->setBuddy(Filter_);
    Filter_->addItem(QString::fromUtf8(kAll));
    Filter_->addItem(QString::fromUtf8(kErrors));
    Pause_ = new QPushButton(QStringLiteral("暂停"), this);
    Pause_->setCheckable(true);
    auto* clear = new QPushButton(QStringLiteral("清除"), this);
    auto* resetCounters = new QPushButton(QStringLiteral("计数清零"), this);
    auto* save = new QPushButton(QStringLiteral("保存..."), this);
    ShowRaw_ = new QCheckBox(QStringLiteral("显示原始报文"), this);
    Filter_->setObjectName(QStringLiteral("filter"));
    Pause_->setObjectName(QStringLiteral("pause"));
    clear->setObjectName(QStringLiteral("clear"));
    resetCounters->setObjectName(QStringLiteral("resetCounters"));
    save->setObjectName(QStringLiteral("save"));
    ShowRaw_->setObjectName(QStringLiteral("showRaw"));

    // How many of the newest exchanges are kept.
    auto* keepLabel = new QLabel(QStringLiteral("保留条数:"), this);
    auto* keep = new QSpinBox(this);
    keep->setObjectName(QStringLiteral("keep"));
    keepLabel->setBuddy(keep);
    keep->setRange(100, 1000000);
    keep->setSingleStep(1000);
    keep->setValue(static_cast<int>(std::min<size_t>(log.Capacity(), 1000000)));

    auto* bar = new QHBoxLayout;
    bar->addWidget(filterLabel);
    bar->addWidget(Filter_, 1);
    bar->addWidget(Pause_);
    bar->addWidget(clear);
    bar->addWidget(resetCounters);
    bar->addWidget(save);
    bar->addWidget(ShowRaw_);
    bar->addWidget(keepLabel);
    bar->addWidget(keep);

    Table_ = new QTableView(this);
    Table_->setModel(Model_);
    Table_->setAccessibleName(QStringLiteral("通讯记录"));
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
    Raw_->setAccessibleName(QStringLiteral("原始报文"));
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
        Pause_->setText(paused ? QStringLiteral("继续") : QStringLiteral("暂停"));
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
        const QString name = QString::fromStdString(operation);
        if (Filter_->findText(name) < 0) {
            Filter_->addItem(name);
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
        Model_->SetFilter(CMonitorModel::Filter::Operation, Filter_->currentText());
    }
    Table_->scrollToBottom();
}

void CMonitorWindow::ShowRaw() {
    if (ShowRaw_->isChecked()) {
        Raw_->setPlainText(Model_->RawHex(Table_->currentIndex().row()));
    }
}

QString CMonitorWindow::CountersText(const ExchangeCounters& c) {
    QString text = QStringLiteral(
                       "请求 %1, 正常应答 %2, 无应答 %3, CRC错误 %4, 异常应答 %5, "
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
                          .arg(QString::fromStdString(operation))
                          .arg(count.Good)
                          .arg(count.Asked)
                          .arg(100.0 * static_cast<double>(count.Good) /
                                   static_cast<double>(count.Asked),
                               0, 'f', 1);
        }
    }
    if (!ratios.isEmpty()) {
        text += QStringLiteral("\n成功率: ") + ratios.join(QStringLiteral("; "));
    }
    return text;
}

QString CMonitorWindow::CountersText() const {
    return CountersText(Log_.Counters());
}

void CMonitorWindow::Save() {
    const QString name = Dialogs_.SaveFileName(
        this, QStringLiteral("保存通讯记录"), QStringLiteral("通讯记录.csv"),
        QStringLiteral("CSV 文件 (*.csv);;文本文件 (*.txt)"), QStringLiteral("csv"));
    if (name.isEmpty()) {
        return;
    }
    const bool csv = !name.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive);
    const QString content = csv ? Model_->Csv() : Model_->Text() + '\n' + CountersText() + '\n';
    QFile file(name);
    QByteArray bytes = content.toUtf8();
    if (csv) {
        bytes.prepend("\xEF\xBB\xBF");  // spreadsheet programs then read the Chinese right
    }
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        Dialogs_.Inform(this,
                        QStringLiteral("无法保存通讯记录到 %1: %2").arg(name, file.errorString()));
        return;
    }
    file.close();
}

}  // namespace mp
