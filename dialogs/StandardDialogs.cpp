#include "dialogs/StandardDialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace mp {
namespace {

QString MessageTitle() {
    return QCoreApplication::translate("mp::CStandardDialogs", "马达保护控制器");
}

}  // namespace

void CStandardDialogs::Inform(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Information, MessageTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool CStandardDialogs::AskYesNo(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, MessageTitle(), text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    return box.exec() == QMessageBox::Yes;
}

QString CStandardDialogs::OpenFileName(QWidget* parent, const QString& caption,
                                       const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

QString CStandardDialogs::SaveFileName(QWidget* parent, const QString& caption,
                                       const QString& suggested, const QString& filter,
                                       const QString& suffix) {
    QFileDialog dialog(parent, caption, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

std::optional<QString> CStandardDialogs::EditText(QWidget* parent, const QString& caption,
                                                  const QString& label, const QString& current) {
    bool ok = false;
    const QString text = QInputDialog::getMultiLineText(parent, caption, label, current, &ok);
    if (!ok) {
        return std::nullopt;
    }
    return text;
}

}  // namespace mp
