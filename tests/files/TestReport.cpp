// The commissioning report: every setting with its value, the coefficients and events only
// when they were read, the live values with whether they are fresh, the PDF written whole,
// and the report made and printed from the window.

#include <QPushButton>
#include <QTextDocument>
#include <QtTest>

#include "files/CommissioningReport.h"
#include "files/FilesRig.h"

using namespace mp;
using namespace mp::test;

namespace {

ReportInput Sample() {
    ReportInput input;
    input.CreatedAt = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9));
    input.Line = {QStringLiteral("COM7"), 17, 19200};
    input.Values = DistinctValues();
    input.ValuesSource = QStringLiteral("生成报告时窗口中的定值。");
    input.Note = QStringLiteral("<b>3号柜</b>");
    input.Live.Currents = {"1.234", "2.345", "3.456"};
    input.Live.Voltages = {"380.10", "381.20", "382.30"};
    input.Live.Inputs[0] = Lamp::Red;
    return input;
}

QString PlainText(const ReportInput& input) {
    QTextDocument document;
    LayOutReport(document, CommissioningReportHtml(input));
    return document.toPlainText();
}

}  // namespace

class TestReport : public QObject {
    Q_OBJECT
private slots:
    void HoldsEverySettingAndTheConnection();
    void SaysWhatWasNotRead();
    void PdfIsWrittenWholeOrNotAtAll();
    void MadeAndPrintedFromTheWindow();
};

void TestReport::HoldsEverySettingAndTheConnection() {
    const ReportInput input = Sample();
    const QString text = PlainText(input);
    for (const SettingRow& row : SettingRows()) {
        const QString line = QString::fromUtf8(row.Caption) + QLatin1Char('\n') +
                             QString::fromStdString(SettingText(input.Values, row));
        QVERIFY2(text.contains(line), qPrintable(line));
    }
    for (int k = 0; k < kProtectionCount; ++k) {
        const QString line =
            QString::fromUtf8(ProtectionRows()[k].Caption) + QLatin1Char('\n') +
            QString::fromUtf8(ProtectionStateText(input.Values.Protection.Enabled[k]));
        QVERIFY2(text.contains(line), qPrintable(line));
    }
    for (const QString& expected :
         {QStringLiteral("日期\n2024-05-06 07:08:09"), QStringLiteral("串口\nCOM7"),
          QStringLiteral("设备地址\n17"), QStringLiteral("波特率\n19200"),
          QStringLiteral("备注\n<b>3号柜</b>"), QStringLiteral("B相电流\n2.345"),
          QStringLiteral("C相电压\n382.30"), QStringLiteral("DI1 合，DI2 未知")}) {
        QVERIFY2(text.contains(expected), qPrintable(expected));
    }
}

void TestReport::SaysWhatWasNotRead() {
    ReportInput input = Sample();
    const QString idle = PlainText(input);
    for (const char* part :
         {"本次运行中未从设备读取校准系数", "本次运行中未读取事件记录", "未在读实时数据"}) {
        QVERIFY2(idle.contains(QString::fromUtf8(part)), part);
    }
    QVERIFY(!idle.contains(QStringLiteral("a系数")) && !idle.contains(QStringLiteral("序号")));

    input.Polling = true;
    CalibrationGrid grid;
    grid.A = {"10049", "10000", "9990", "1000"};
    grid.B = {"254", "0", "3", "100"};
    input.Coefficients = grid;
    EventRecordTexts events;
    events.Summary = "有2条告警信息";
    events.Count = 2;
    events.Codes = {5, 12};
    events.Events[0] = "短路故障(E05)";
    events.Address = 17;
    input.Events = events;
    const QString read = PlainText(input);
    for (const char* part : {"A/AB相\n10049\n254", "PWM\n1000\n100", "设备地址 17：有2条告警信息",
                             "1\n5\n短路故障(E05)", "2\n12\n", "正在读实时数据"}) {
        QVERIFY2(read.contains(QString::fromUtf8(part)), part);
    }
    QVERIFY(!read.contains(QStringLiteral("未读取")) && !read.contains(QStringLiteral("未在读")));
}

void TestReport::PdfIsWrittenWholeOrNotAtAll() {
    QTemporaryDir dir;
    const QString html = CommissioningReportHtml(Sample());
    QString reason;
    QVERIFY2(SaveReportPdf(html, dir.filePath("r.pdf"), &reason), qPrintable(reason));
    QFile pdf(dir.filePath("r.pdf"));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    QVERIFY(bytes.startsWith("%PDF-"));
    QVERIFY(bytes.trimmed().endsWith("%%EOF"));
    QVERIFY(!SaveReportPdf(html, dir.filePath("missing/r.pdf"), &reason));
    QVERIFY(!reason.isEmpty());
    QVERIFY(!QFile::exists(dir.filePath("missing/r.pdf")));
    // The first page carries text in the CJK font; a page past the end is blank.
    const QImage first = RenderReportPage(html, 0, 1.0);
    const QImage past = RenderReportPage(html, 9, 1.0);
    int dark = 0;
    for (int y = 0; y < first.height(); y += 2) {
        for (int x = 0; x < first.width(); x += 2) {
            dark += qGray(first.pixel(x, y)) < 128 ? 1 : 0;
        }
    }
    QVERIFY(dark > 2000);
    QImage white(past.size(), past.format());
    white.fill(Qt::white);
    QCOMPARE(past, white);
}

void TestReport::MadeAndPrintedFromTheWindow() {
    CFilesRig rig;
    QTest::mouseClick(Child<QPushButton>(rig.Window, "eventRecordsButton"), Qt::LeftButton);
    QTRY_COMPARE(rig.Dialogs.EventRecordsShown, 1);
    rig.Dialogs.PasswordAnswer = QStringLiteral("QK4810");
    rig.Controller->MaintenanceUnlock();
    rig.Controller->ReadCoefficients();
    QTRY_VERIFY(rig.Dialogs.Messages.contains(QStringLiteral("序数读取成功")));
    const ReportInput input = rig.Files->Report();
    QVERIFY(input.Events && input.Coefficients);
    QCOMPARE(input.Events->Count, 3);
    QCOMPARE(input.Events->Codes[2], 16);
    QCOMPARE(input.Coefficients->A[kRowPwm], std::string("1000"));
    QCOMPARE(input.Line.BaudRate, 9600);
    QVERIFY(!input.Polling);

    rig.FileDialogs.SaveAnswer = rig.Path("report.pdf");
    rig.Trigger("actionCreateReport");
    QCOMPARE(rig.FileDialogs.Messages.size(), 1);
    QVERIFY(rig.FileDialogs.Messages.first().contains(QStringLiteral("调试报告已保存")));
    QVERIFY(rig.Read("report.pdf").startsWith("%PDF-"));
    rig.Trigger("actionPrintReport");
    QCOMPARE(rig.FileDialogs.Printed.size(), 1);
    QVERIFY(rig.FileDialogs.Printed.first().contains(QStringLiteral("堵转保护动作倍数")));
}

QTEST_MAIN(TestReport)
#include "TestReport.moc"
