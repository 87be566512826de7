#include "app/MainDialogs.h"

#include "app/HelpDlg.h"
#include "connection/CommParamChangeDlg.h"
#include "connection/CommSetupDlg.h"
#include "events/EventRecordDlg.h"
#include "maintenance/PasswordDlg.h"

namespace mp {

void CMainDialogs::ShowUsageNotes(QWidget* parent) {
    CHelpDlg dialog(parent);
    dialog.exec();
}

std::optional<QString> CMainDialogs::AskPassword(QWidget* parent) {
    CPasswordDlg dialog(parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Password();
}

bool CMainDialogs::EditCommParams(QWidget* parent, CommParamValues& values) {
    CCommParamChangeDlg dialog([this, parent](const QString& text) { Inform(parent, text); },
                               parent);
    dialog.SetValues(values);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    values = dialog.Values();
    return true;
}

void CMainDialogs::ShowEventRecords(QWidget* parent, const EventRecordTexts& texts) {
    CEventRecordDlg dialog(texts, *this, parent);
    dialog.exec();
}

bool CMainDialogs::AskConnection(QWidget* parent, ConnectionSettings& settings) {
    CCommSetupDlg dialog([this, parent](const QString& text) { Inform(parent, text); }, parent);
    dialog.ShowCurrent(settings);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    settings = dialog.Result();
    return true;
}

}  // namespace mp
