#include "files/FileDialogs.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>

#include "files/CommissioningReport.h"
#include "files/ComparisonDlg.h"

namespace mp {
namespace {

QString MessageTitle() {
    return QCoreApplication::translate("mp::CFileDialogs", "马达保护控制器");
}

}  // namespace

QString CFileDialogs::OpenFileName(QWidget* parent, const QString& caption, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
}

QString CFileDialogs::SaveFileName(QWidget* parent, const QString& caption,
                                   const QString& suggested, const QString& filter,
                                   const QString& suffix) {
    QFileDialog dialog(parent, caption, suggested, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

std::optional<QString> CFileDialogs::EditNote(QWidget* parent, const QString& current) {
    bool ok = false;
    const QString note = QInputDialog::getMultiLineText(
        parent, QCoreApplication::translate("mp::CFileDialogs", "保存定值文件"),
        QCoreApplication::translate("mp::CFileDialogs", "备注（柜号、回路、电动机，可不填）："),
        current, &ok);
    if (!ok) {
        return std::nullopt;
    }
    return note;
}

void CFileDialogs::Inform(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Information, MessageTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

bool CFileDialogs::AskYesNo(QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Question, MessageTitle(), text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    return box.exec() == QMessageBox::Yes;
}

ComparisonChoice CFileDialogs::ShowComparison(QWidget* parent, const ComparisonView& view) {
    CComparisonDlg dialog(view, parent);
    dialog.exec();
    return dialog.Choice();
}

bool CFileDialogs::PrintReport(QWidget* parent, const QString& html) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QCoreApplication::translate("mp::CFileDialogs", "打印调试报告"));
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    mp::PrintReport(html, printer);
    return true;
}

}  // namespace mp
