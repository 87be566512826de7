#include "events/EventRecordDlg.h"

#include <QDateTime>
#include <QEvent>
#include <QLineEdit>

#include "dialogs/DialogService.h"
#include "events/EventRecords.h"
#include "events/EventRecordsCsv.h"
#include "ui_EventRecordDlg.h"

namespace mp {
namespace {

// Black text on the yellow-green the main window's edit fields use too.
const QString kEditStyle =
    QStringLiteral("QLineEdit { background-color: rgb(180, 220, 0); color: black; }");

}  // namespace

CEventRecordDlg::CEventRecordDlg(const EventRecordTexts& texts, IDialogService& dialogs,
                                 QWidget* parent)
    : QDialog(parent), Ui_(new Ui::CEventRecordDlg), Texts_(texts), Dialogs_(dialogs) {
    Ui_->setupUi(this);
    Ui_->summaryEdit->setStyleSheet(kEditStyle);
    for (QLineEdit* event : EventEdits()) {
        event->setStyleSheet(kEditStyle);
    }
    RetranslateTexts();
    connect(Ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(Ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(Ui_->exportButton, &QPushButton::clicked, this, &CEventRecordDlg::Export);
    Ui_->okButton->setDefault(true);
}

CEventRecordDlg::~CEventRecordDlg() = default;

std::array<QLineEdit*, 8> CEventRecordDlg::EventEdits() const {
    return {Ui_->eventEdit1, Ui_->eventEdit2, Ui_->eventEdit3, Ui_->eventEdit4,
            Ui_->eventEdit5, Ui_->eventEdit6, Ui_->eventEdit7, Ui_->eventEdit8};
}

void CEventRecordDlg::RetranslateTexts() {
    Ui_->summaryEdit->setText(QString::fromStdString(ShownSummary(Texts_)));
    const std::array<QLineEdit*, 8> events = EventEdits();
    for (size_t k = 0; k < events.size(); ++k) {
        events[k]->setText(QString::fromStdString(ShownEvent(Texts_, k)));
    }
}

void CEventRecordDlg::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LanguageChange) {
        Ui_->retranslateUi(this);
        RetranslateTexts();
    }
    QDialog::changeEvent(event);
}

void CEventRecordDlg::Export() {
    const QDateTime readAt = Texts_.ReadAtMs == 0 ? QDateTime::currentDateTime()
                                                  : QDateTime::fromMSecsSinceEpoch(Texts_.ReadAtMs);
    const QString suggested = tr("事件记录-地址%1-%2.csv")
                                  .arg(Texts_.Address)
                                  .arg(readAt.toString(QStringLiteral("yyyyMMdd-HHmmss")));
    const QString path = Dialogs_.SaveFileName(this, tr("导出事件记录"), suggested,
                                               tr("CSV 文件 (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty()) {
        return;
    }
    QString reason;
    if (!SaveEventRecordsCsv(Texts_, path, &reason)) {
        Dialogs_.Inform(this, tr("事件记录未能导出到“%1”：%2").arg(path, reason));
    }
}

}  // namespace mp
