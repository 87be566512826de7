// Pictures for review: the comparison window with differing settings and write records, and
// the report's pages, saved as PNG into the folder given (default "screenshots").

#include <QApplication>
#include <QDir>
#include <QTextDocument>

#include "app/MotorProtectorApp.h"
#include "files/CommissioningReport.h"
#include "files/ComparisonDlg.h"
#include "files/SettingsTable.h"

using namespace mp;

namespace {

SettingsValues FileValues() {
    SettingsValues values = FactoryValues();
    values.Protection.CtRatio = "50";
    values.Protection.RatedCurrent = "15.0";
    values.StartMode = "直接起动";
    return values;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    CMotorProtectorApp::ApplyWindowColours(app);
    CMotorProtectorApp::ApplyWindowFont(app);
    const QDir out(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots"));
    QDir().mkpath(out.path());

    SettingsValues device = FileValues();
    device.Protection.CtRatio = "60";
    device.Protection.CurveSelection.clear();  // a curve index outside the list
    device.Protection.Enabled[kUnderVoltage] = false;
    ComparisonView view;
    view.Rows = CompareSettings(device, FileValues());
    view.Line = {QStringLiteral("COM3"), 1, 9600};
    view.FileName = QStringLiteral("3号柜-进线电动机M1.json");
    view.FilePath = QStringLiteral("D:/调试/3号柜-进线电动机M1.json");
    view.Writes = {
        {QDateTime(QDate(2024, 5, 6), QTime(9, 12, 40)), {QStringLiteral("COM3"), 1, 9600}},
        {QDateTime(QDate(2024, 6, 11), QTime(15, 3, 5)), {QStringLiteral("COM4"), 12, 19200}}};
    view.CanTakeFile = true;
    CComparisonDlg dialog(view);
    dialog.show();
    QApplication::processEvents();
    dialog.grab().save(out.filePath(QStringLiteral("comparison.png")));

    ReportInput input;
    input.CreatedAt = QDateTime::currentDateTime();
    input.Line = {QStringLiteral("COM3"), 1, 9600};
    input.Values = FileValues();
    input.ValuesSource =
        QStringLiteral("窗口中的定值，与定值文件“D:\\调试\\3号柜-进线电动机M1.json”中的相同。");
    input.Note = QStringLiteral("3号柜 进线 电动机 M1（75 kW）");
    CalibrationGrid grid;
    grid.A = {"10049", "10000", "9987", "1000"};
    grid.B = {"2", "0", "254", "100"};
    input.Coefficients = grid;
    EventRecordTexts events;
    events.Summary = "有3条告警信息";
    events.Count = 3;
    events.Codes = {5, 6, 16};
    events.Events = {"短路故障(E05)", "堵转故障(E06)", "过压(E16)"};
    events.Address = 1;
    events.ReadAtMs = QDateTime::currentMSecsSinceEpoch();
    input.Events = events;
    input.Live.Currents = {"15.100", "14.900", "15.000"};
    input.Live.Voltages = {"380.00", "380.50", "379.80"};
    input.Live.AcquisitionTime = 812;
    input.Live.Inputs = {Lamp::Red,   Lamp::Green, Lamp::Red,   Lamp::Green,
                         Lamp::Green, Lamp::Green, Lamp::Green, Lamp::Green};
    input.Live.Outputs = {Lamp::Red, Lamp::Green, Lamp::Green};
    input.Polling = true;
    const QString html = CommissioningReportHtml(input);
    QTextDocument document;
    LayOutReport(document, html);
    for (int page = 0; page < document.pageCount(); ++page) {
        RenderReportPage(html, page, 1.5)
            .save(out.filePath(QStringLiteral("report-page%1.png").arg(page + 1)));
    }
    return 0;
}
