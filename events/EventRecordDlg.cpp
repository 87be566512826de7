#include "events/EventRecordDlg.h"

#include <QLineEdit>

#include "ui_EventRecordDlg.h"

namespace mp {
namespace {

// Black text on the yellow-green the main window's edit fields use too.
const QString kEditStyle =
    QStringLiteral("QLineEdit { background-color: rgb(180, 220, 0); color: black; }");

}  // namespace

CEventRecordDlg::CEventRecordDlg(const EventRecordTexts& texts, QWidget* parent)
    : QDialog(parent), Ui_(new Ui::CEventRecordDlg) {
    Ui_->setupUi(this);
    QLineEdit* const events[] = {Ui_->eventEdit1, Ui_->eventEdit2, Ui_->eventEdit3,
                                 Ui_->eventEdit4, Ui_->eventEdit5, Ui_->eventEdit6,
                                 Ui_->eventEdit7, Ui_->eventEdit8};
    Ui_->summaryEdit->setText(QString::fromStdString(texts.Summary));
    Ui_->summaryEdit->setStyleSheet(kEditStyle);
    for (size_t k = 0; k < texts.Events.size(); ++k) {
        events[k]->setText(QString::fromStdString(texts.Events[k]));
        events[k]->setStyleSheet(kEditStyle);
    }
    connect(Ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(Ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    Ui_->okButton->setDefault(true);
}

CEventRecordDlg::~CEventRecordDlg() = default;

}  // namespace mp
