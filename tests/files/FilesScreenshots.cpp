// Pictures for review: the comparison window with differing settings and write records, and
// the report's pages, saved as PNG into the folder given (default "screenshots").

#include <QApplication>
#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextDocument>

#include "app/MotorProtectorApp.h"
#include "files/CommissioningReport.h"
#include "files/ComparisonDlg.h"
#include "files/SettingsTable.h"
#include "language/LanguageChoice.h"
#include "line/ConnectionSettings.h"

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

    // The report as made after a commissioning on the built-in simulated device, in Chinese
    // and in English: every page, and the first one of each language under a name of its own.
    ReportInput input;
    input.CreatedAt = QDateTime::currentDateTime();
    input.ToolVersion = QStringLiteral(MP_VERSION);
    input.Line = {kSimulatedPortText, 1, 9600};
    input.Parity = 0;
    input.FileName = QStringLiteral("3号柜-进线电动机M1.json");
    input.Note = QStringLiteral("3号柜 进线 电动机 M1（75 kW）");
    input.FileDifferences = 0;
    input.FileWrites = view.Writes;
    DeviceReading& read = input.Device;
    read.ReadAt = input.CreatedAt.addSecs(-4);
    read.Address = 1;
    read.StoredAddress = 1;
    read.StoredBaud = QStringLiteral("9600");
    read.Settings = FileValues();
    read.Coefficients.A = {"1.0049", "1.0000", "0.9987", "1000"};
    read.Coefficients.B = {"2", "0", "254", "100"};
    read.Events.Summary = "有3条告警信息";
    read.Events.Count = 3;
    read.Events.Codes = {5, 6, 16};
    read.Events.Events = {"短路故障(E05)", "堵转故障(E06)", "过压(E16)"};
    read.Events.Address = 1;
    read.Events.ReadAtMs = read.ReadAt.toMSecsSinceEpoch();
    read.Live.Currents = {"15.100", "14.900", "15.000"};
    read.Live.Voltages = {"380.00", "380.50", "379.80"};
    read.Live.Inputs = {Lamp::Red,   Lamp::Green, Lamp::Red,   Lamp::Green,
                        Lamp::Green, Lamp::Green, Lamp::Green, Lamp::Green};
    for (LiveGroup group : {LiveGroup::Currents, LiveGroup::Voltages, LiveGroup::Inputs}) {
        read.Live.Freshness.MarkRead(group);
    }
    // The outputs' read found no reply: shown as not read.
    read.Live.Freshness.MarkMissed(LiveGroup::Outputs, ReadFailure::NoReply,
                                   read.ReadAt.toMSecsSinceEpoch());
    DeviceWriteEntry write;
    write.At = input.CreatedAt.addSecs(-600);
    write.Port = kSimulatedPortText;
    write.Write = {DeviceWriteKind::Settings, DeviceWriteOutcome::Confirmed, 1, 0, 0};
    input.Writes << write;
    write.At = input.CreatedAt.addSecs(-420);
    write.Write = {DeviceWriteKind::CloseOutputA, DeviceWriteOutcome::Confirmed, 1, 0, 0};
    input.Writes << write;
    write.At = input.CreatedAt.addSecs(-400);
    write.Write = {DeviceWriteKind::OpenOutputA, DeviceWriteOutcome::NoReply, 1, 0, 0};
    input.Writes << write;

    // Apply only: nothing is remembered, the store is a throwaway one.
    QTemporaryDir scratch;
    QSettings languageStore(scratch.filePath(QStringLiteral("language.ini")), QSettings::IniFormat);
    CLanguageChoice language(languageStore);
    for (const Language shown : {Language::Chinese, Language::English}) {
        language.Apply(shown);
        const bool english = shown == Language::English;
        input.PortName = QCoreApplication::translate("mp::CCommSetupDlg", "内置模拟设备");
        const QString html = CommissioningReportHtml(input);
        QTextDocument document;
        LayOutReport(document, html);
        const QString suffix = english ? QStringLiteral("-en") : QString();
        for (int page = 0; page < document.pageCount(); ++page) {
            RenderReportPage(html, page, 1.5)
                .save(
                    out.filePath(QStringLiteral("report-page%1%2.png").arg(page + 1).arg(suffix)));
        }
    }
    language.Apply(Language::Chinese);
    return 0;
}
