#include "audit/AuditLogDlg.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QSet>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/DialogService.h"

namespace mp {
namespace {

// A choice of a filter's drop-down: "全部" (any) first, then the values found in the log.
void FillCombo(QComboBox* combo, QStringList values, const QString& any) {
    const QString chosen = combo->currentData().toString();
    values.removeDuplicates();
    values.removeAll(QString());
    values.sort();
    combo->blockSignals(true);
    combo->clear();
    combo->addItem(any, QString());
    for (const QString& value : values) {
        combo->addItem(value, value);
    }
    const int at = combo->findData(chosen);
    combo->setCurrentIndex(at < 0 ? 0 : at);
    combo->blockSignals(false);
}

}  // namespace

CAuditLogDlg::CAuditLogDlg(const QString& path, IDialogService& dialogs, QWidget* parent)
    : QDialog(parent), Path_(path), Dialogs_(dialogs) {
    setWindowTitle(tr("审计日志 - %1").arg(path));
    auto* layout = new QVBoxLayout(this);
    auto* filters = new QHBoxLayout;
    auto addFilter = [this, filters](const QString& caption, QWidget* field) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        field->setAccessibleName(caption);
        filters->addWidget(label);
        filters->addWidget(field);
    };
    TextFilter_ = new QLineEdit(this);
    TextFilter_->setObjectName(QStringLiteral("auditTextFilter"));
    TextFilter_->setClearButtonEnabled(true);
    addFilter(tr("查找"), TextFilter_);
    TagFilter_ = new QComboBox(this);
    TagFilter_->setObjectName(QStringLiteral("auditTagFilter"));
    addFilter(tr("位号"), TagFilter_);
    OperationFilter_ = new QComboBox(this);
    OperationFilter_->setObjectName(QStringLiteral("auditOperationFilter"));
    addFilter(tr("操作"), OperationFilter_);
    OutcomeFilter_ = new QComboBox(this);
    OutcomeFilter_->setObjectName(QStringLiteral("auditOutcomeFilter"));
    addFilter(tr("结果"), OutcomeFilter_);
    filters->addStretch();
    auto* reload = new QPushButton(tr("刷新"), this);
    reload->setObjectName(QStringLiteral("auditReloadButton"));
    auto* exportCsv = new QPushButton(tr("导出CSV..."), this);
    exportCsv->setObjectName(QStringLiteral("auditExportCsvButton"));
    filters->addWidget(reload);
    filters->addWidget(exportCsv);
    layout->addLayout(filters);

    Table_ = new QTableWidget(0, kAuditColumnCount, this);
    Table_->setObjectName(QStringLiteral("auditTable"));
    Table_->setAccessibleName(tr("审计日志"));
    Table_->setHorizontalHeaderLabels(Heading());
    Table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table_->verticalHeader()->hide();
    Table_->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(Table_);
    Summary_ = new QLabel(this);
    Summary_->setObjectName(QStringLiteral("auditSummary"));
    layout->addWidget(Summary_);

    connect(TextFilter_, &QLineEdit::textChanged, this, &CAuditLogDlg::ShowEntries);
    for (QComboBox* combo : {TagFilter_, OperationFilter_, OutcomeFilter_}) {
        connect(combo, &QComboBox::currentIndexChanged, this, &CAuditLogDlg::ShowEntries);
    }
    connect(reload, &QPushButton::clicked, this, &CAuditLogDlg::Reload);
    connect(exportCsv, &QPushButton::clicked, this, &CAuditLogDlg::ExportCsv);
    resize(1100, 560);
    Reload();
}

QString CAuditLogDlg::MenuText() {
    return tr("审计日志...");
}

CAuditLogDlg* CAuditLogDlg::Show(const QString& path, IDialogService& dialogs, QWidget* parent) {
    auto* dialog = new CAuditLogDlg(path, dialogs, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    return dialog;
}

QStringList CAuditLogDlg::Heading() const {
    return {tr("时间"), tr("用户"), tr("计算机"), tr("位号"),    tr("线路"),
            tr("地址"), tr("操作"), tr("结果"),   tr("前 → 后"), tr("说明")};
}

void CAuditLogDlg::Reload() {
    Entries_ = CAuditLog::Read(Path_, &Skipped_);
    FillChoices();
    ShowEntries();
}

void CAuditLogDlg::FillChoices() {
    QStringList tags;
    QStringList operations;
    QStringList outcomes;
    for (const AuditEntry& entry : Entries_) {
        tags << entry.Tag;
        operations << entry.Operation;
        outcomes << entry.Outcome;
    }
    FillCombo(TagFilter_, tags, tr("全部"));
    FillCombo(OperationFilter_, operations, tr("全部"));
    FillCombo(OutcomeFilter_, outcomes, tr("全部"));
}

AuditFilter CAuditLogDlg::Filter() const {
    AuditFilter filter;
    filter.Text = TextFilter_->text();
    filter.Tag = TagFilter_->currentData().toString();
    filter.Operation = OperationFilter_->currentData().toString();
    filter.Outcome = OutcomeFilter_->currentData().toString();
    return filter;
}

void CAuditLogDlg::ShowEntries() {
    const AuditFilter filter = Filter();
    Table_->setRowCount(0);
    int shown = 0;
    // The newest first: the change just made is at the top.
    for (auto it = Entries_.crbegin(); it != Entries_.crend(); ++it) {
        if (!filter.Matches(*it)) {
            continue;
        }
        Table_->insertRow(shown);
        const QStringList texts = AuditRowTexts(*it);
        for (int column = 0; column < texts.size(); ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            item->setToolTip(texts[column]);
            Table_->setItem(shown, column, item);
        }
        ++shown;
    }
    Table_->resizeColumnsToContents();
    QString summary = tr("显示 %1 条，共 %2 条").arg(shown).arg(Entries_.size());
    if (Skipped_ > 0) {
        summary += tr("；%1 行不完整（写入时中断），已跳过").arg(Skipped_);
    }
    Summary_->setText(summary);
}

QVector<QStringList> CAuditLogDlg::ShownRows() const {
    QVector<QStringList> rows;
    for (int row = 0; row < Table_->rowCount(); ++row) {
        QStringList texts;
        for (int column = 0; column < Table_->columnCount(); ++column) {
            const QTableWidgetItem* item = Table_->item(row, column);
            texts << (item ? item->text() : QString());
        }
        rows << texts;
    }
    return rows;
}

void CAuditLogDlg::ExportCsv() {
    const QString path = Dialogs_.SaveFileName(this, tr("导出CSV"), tr("审计日志.csv"),
                                               tr("CSV 文件 (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty()) {
        return;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(AuditCsv(Heading(), ShownRows())) < 0 ||
        !file.commit()) {
        Dialogs_.Inform(this, tr("无法写入文件 %1：%2").arg(path, file.errorString()));
    }
}

}  // namespace mp
