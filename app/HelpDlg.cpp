#include "app/HelpDlg.h"

#include <QKeyEvent>

#include "ui_HelpDlg.h"

namespace mp {

CHelpDlg::CHelpDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      Ui_(std::make_unique<Ui::CHelpDlg>()) {
    Ui_->setupUi(this);
    setFixedSize(sizeHint());
}

CHelpDlg::~CHelpDlg() = default;

void CHelpDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace mp
