#include "files/StandardFileWindows.h"

#include <QCoreApplication>
#include <QPrintDialog>
#include <QPrinter>

#include "files/CommissioningReport.h"
#include "files/ComparisonDlg.h"

namespace mp {

ComparisonChoice CStandardFileWindows::ShowComparison(QWidget* parent, const ComparisonView& view) {
    CComparisonDlg dialog(view, parent);
    dialog.exec();
    return dialog.Choice();
}

bool CStandardFileWindows::PrintReport(QWidget* parent, const QString& html) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QCoreApplication::translate("mp::CStandardFileWindows", "打印调试报告"));
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    mp::PrintReport(html, printer);
    return true;
}

}  // namespace mp
