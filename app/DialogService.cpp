#include "app/DialogService.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "app/HelpDlg.h"
#include "connection/CommParamChangeDlg.h"
#include "connection/CommSetupDlg.h"
#include "events/EventRecordDlg.h"
#include "maintenance/PasswordDlg.h"

namespace mp {
namespace {

QString MessageTitle() {
    return QCoreApplication::translate("mp::CDialogService", "马达保护控制器");
}

}  // namespace

void CDialogService::Inform(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Information, MessageTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool CDialogService::AskYesNo(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, MessageTitle(), text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    return box.exec() == QMessageBox::Yes;
}

void CDialogService::ShowUsageNotes(QWidget* parent) {
    CHelpDlg dialog(parent);
    dialog.exec();
}

std::optional<QString> CDialogService::AskPassword(QWidget* parent) {
    CPasswordDlg dialog(parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Password();
}

bool CDialogService::EditCommParams(QWidget* parent, CommParamValues& values) {
    CCommParamChangeDlg dialog([this, parent](const QString& text) { Inform(parent, text); },
                               parent);
    dialog.SetValues(values);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    values = dialog.Values();
    return true;
}

void CDialogService::ShowEventRecords(QWidget* parent, const EventRecordTexts& texts) {
    CEventRecordDlg dialog(texts, parent);
    dialog.exec();
}

bool CDialogService::AskConnection(QWidget* parent, ConnectionSettings& settings) {
    CCommSetupDlg dialog([this, parent](const QString& text) { Inform(parent, text); }, parent);
    dialog.ShowCurrent(settings);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    settings = dialog.Result();
    return true;
}

}  // namespace mp
