#include "maintenance/PasswordDlg.h"

#include <QEvent>
#include <QPixmap>

#include "ui_PasswordDlg.h"

namespace mp {

CPasswordDlg::CPasswordDlg(QWidget* parent) : QDialog(parent), Ui_(new Ui::CPasswordDlg) {
    Ui_->setupUi(this);
    const QPixmap icon(QStringLiteral(":/images/password.png"));
    if (!icon.isNull()) {
        Ui_->iconLabel->setPixmap(icon);
    }
    // Enter anywhere in the window confirms, Escape cancels.
    Ui_->okButton->setDefault(true);
    connect(Ui_->okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(Ui_->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    Ui_->passwordEdit->setFocus();
}

CPasswordDlg::~CPasswordDlg() = default;

void CPasswordDlg::changeEvent(QEvent* event) {
    // Every text of the window comes from its form.
    if (event->type() == QEvent::LanguageChange) {
        Ui_->retranslateUi(this);
    }
    QDialog::changeEvent(event);
}

QString CPasswordDlg::Password() const {
    return Ui_->passwordEdit->text();
}

}  // namespace mp
