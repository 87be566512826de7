// The commissioning report: an as-left record of the one device read when the report is made
// (its settings with units, coefficients, events, communication parameters and live values
// with their marks), the writes made to it since the start, the signature fields, the pages
// that keep small sections whole, the PDF written whole, the same in English, and the report
// made and printed from the window with two devices on the line.

#include <QAbstractTextDocumentLayout>
#include <QProgressDialog>
#include <QPushButton>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QtTest>

#include "files/CommissioningReport.h"
#include "files/FilesRig.h"
#include "language/LanguageChoice.h"
#include "line/ConnectionSettings.h"

using namespace mp;
using namespace mp::test;

namespace {

DeviceReading SampleReading() {
    DeviceReading device;
    device.ReadAt = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 1));
    device.Address = 17;
    device.StoredAddress = 17;
    device.StoredBaud = QStringLiteral("19200");
    device.Settings = DistinctValues();
    device.Coefficients.A = {"10049", "10000", "9990", "1000"};
    device.Coefficients.B = {"254", "0", "3", "100"};
    device.Events.Summary = "有2条告警信息";
    device.Events.Count = 2;
    device.Events.Codes = {5, 12};
    device.Events.Events[0] = "短路故障(E05)";
    device.Events.Address = 17;
    device.Live.Currents = {"1.234", "2.345", "3.456"};
    device.Live.Voltages = {"380.10", "381.20", "382.30"};
    device.Live.Inputs = {Lamp::Red,   Lamp::Green, Lamp::Green, Lamp::Green,
                          Lamp::Green, Lamp::Green, Lamp::Green, Lamp::Green};
    device.Live.Outputs = {Lamp::Red, Lamp::Green, Lamp::Green};
    for (LiveGroup group :
         {LiveGroup::Currents, LiveGroup::Voltages, LiveGroup::Inputs, LiveGroup::Outputs}) {
        device.Live.Freshness.MarkRead(group);
    }
    return device;
}

ReportInput Sample() {
    ReportInput input;
    input.CreatedAt = QDateTime(QDate(2024, 5, 6), QTime(7, 8, 9));
    input.ToolVersion = QStringLiteral("9.8.7");
    input.Line = {QStringLiteral("COM7"), 17, 19200};
    input.PortName = QStringLiteral("COM7");
    input.Parity = 2;
    input.Device = SampleReading();
    return input;
}

DeviceWriteEntry Entry(DeviceWriteKind kind, DeviceWriteOutcome outcome) {
    DeviceWriteEntry entry;
    entry.At = QDateTime(QDate(2024, 5, 6), QTime(6, 30, 0));
    entry.Port = QStringLiteral("COM7");
    entry.Write.Kind = kind;
    entry.Write.Outcome = outcome;
    entry.Write.Address = 17;
    return entry;
}

QString PlainText(const ReportInput& input) {
    QTextDocument document;
    LayOutReport(document, CommissioningReportHtml(input));
    return document.toPlainText();
}

// How a row of the sections table changes the sample.
enum class Variant {
    Sample,
    FileHeld,
    FileDiffers,
    LiveUnanswered,
    LiveStale,
    Writes,
    ListValueOutside
};

ReportInput Varied(Variant variant) {
    ReportInput input = Sample();
    switch (variant) {
        case Variant::Sample:
            break;
        case Variant::FileHeld:
        case Variant::FileDiffers:
            input.FileName = QStringLiteral("3号柜.json");
            input.Note = QStringLiteral("<b>3号柜</b>");
            input.FileDifferences = variant == Variant::FileHeld ? 0 : 2;
            input.FileWrites = {
                {QDateTime(QDate(2024, 5, 1), QTime(9, 0, 0)), {QStringLiteral("COM4"), 3, 4800}}};
            break;
        case Variant::LiveUnanswered:
            input.Device.Live = LiveValues();
            input.Device.Live.Freshness.MarkMissed(LiveGroup::Currents, ReadFailure::NoReply, 0);
            break;
        case Variant::LiveStale:
            input.Device.Live.Freshness.MarkMissed(
                LiveGroup::Voltages, ReadFailure::NoReply,
                QDateTime(QDate(2024, 5, 6), QTime(7, 7, 0)).toMSecsSinceEpoch());
            break;
        case Variant::Writes:
            input.Writes = {Entry(DeviceWriteKind::Settings, DeviceWriteOutcome::Confirmed),
                            Entry(DeviceWriteKind::CloseOutputA, DeviceWriteOutcome::NoReply),
                            Entry(DeviceWriteKind::CommParams, DeviceWriteOutcome::NotFollowed)};
            input.Writes[2].Write.NewAddress = 17;
            input.Writes[2].Write.NewBaudRate = 19200;
            input.OtherWrites = 4;
            break;
        case Variant::ListValueOutside:
            input.Device.Settings.Protection.CurveSelection.clear();
            break;
    }
    return input;
}

// The top-level tables of a laid-out document, each as the pages of its first and last line.
QList<QPair<int, int>> TablePages(QTextDocument& document) {
    QList<QPair<int, int>> pages;
    const qreal page = document.pageSize().height();
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        if (qobject_cast<QTextTable*>(frame) == nullptr) {
            continue;
        }
        const QRectF box = document.documentLayout()->frameBoundingRect(frame);
        pages << qMakePair(static_cast<int>(box.top() / page),
                           static_cast<int>((box.bottom() - 1) / page));
    }
    return pages;
}

}  // namespace

Q_DECLARE_METATYPE(Variant)

class TestReport : public QObject {
    Q_OBJECT
private slots:
    void HoldsEverySettingWithItsUnit();
    void Sections_data();
    void Sections();
    void SmallTablesAreNotBroken();
    void PdfIsWrittenWholeOrNotAtAll();
    void InEnglish();
    void NamesOnlyTheDeviceItRead();
    void RefusedWhenTheDeviceDoesNotAnswer_data();
    void RefusedWhenTheDeviceDoesNotAnswer();
    void CancelledReadMakesNoReport();
};

void TestReport::HoldsEverySettingWithItsUnit() {
    const ReportInput input = Sample();
    const QString text = PlainText(input);
    for (const SettingRow& row : SettingRows()) {
        QString line = QString::fromUtf8(row.Caption) + QLatin1Char('\n') +
                       QString::fromStdString(SettingText(input.Device.Settings, row));
        if (row.Unit[0] != '\0') {
            line += QLatin1Char('\n') + QString::fromUtf8(row.Unit);
        }
        QVERIFY2(text.contains(line), qPrintable(line));
    }
    for (int k = 0; k < kProtectionCount; ++k) {
        const QString line =
            QString::fromUtf8(ProtectionRows()[k].Caption) + QLatin1Char('\n') +
            QString::fromUtf8(ProtectionStateText(input.Device.Settings.Protection.Enabled[k]));
        QVERIFY2(text.contains(line), qPrintable(line));
    }
}

void TestReport::Sections_data() {
    QTest::addColumn<Variant>("variant");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("absent");

    QTest::newRow("connection, time, version, device's line")
        << Variant::Sample
        << QStringList{"项目\n值",
                       "设备地址\n17",
                       "串口\nCOM7",
                       "波特率\n19200 bit/s",
                       "校验\n偶校验",
                       "设备中存储的通信参数\n地址 17，波特率 19200 bit/s",
                       "读取设备的时间\n2024-05-06 07:08:01",
                       "报告生成时间\n2024-05-06 07:08:09",
                       "工具版本\n9.8.7",
                       "定值文件\n无"}
        << QStringList{"项目\n内容", "备注"};
    QTest::newRow("coefficients and events as read")
        << Variant::Sample
        << QStringList{"A/AB相\n10049\n254", "PWM\n1000\n100", "有2条告警信息",
                       "1\n5\n短路故障(E05)", "2\n12\n"}
        << QStringList{"未读取"};
    QTest::newRow("live values with units, read")
        << Variant::Sample
        << QStringList{"B相电流\n2.345 A\n已读取", "C相电压\n382.30 V\n已读取", "DI1 合，DI2 分",
                       "输出A 合，输出B 分，复归 分"}
        << QStringList{"\n—\n", "过时", "\n未读到"};
    QTest::newRow("live values without reply")
        << Variant::LiveUnanswered
        << QStringList{"A相电流\n—\n未读到（设备无应答）", "A相电压\n—\n未读到（设备无应答）",
                       "状态量输入\n—\n未读到", "控制量输出\n—\n未读到"}
        << QStringList{"已读取", " A\n"};
    QTest::newRow("stale live values")
        << Variant::LiveStale
        << QStringList{"A相电压\n380.10 V\n过时：自 2024-05-06 07:07:00 起设备无应答",
                       "A相电流\n1.234 A\n已读取"}
        << QStringList{};
    QTest::newRow("settings file held, device the same")
        << Variant::FileHeld
        << QStringList{"定值文件\n3号柜.json", "备注\n<b>3号柜</b>",
                       "设备中的定值与定值文件“3号柜.json”中的相同",
                       "2024-05-01 09:00:00\nCOM4\n3\n4800 bit/s"}
        << QStringList{"不同"};
    QTest::newRow("settings file held, device differs")
        << Variant::FileDiffers << QStringList{"设备中有 2 项定值与定值文件“3号柜.json”中的不同"}
        << QStringList{"中的相同"};
    QTest::newRow("no writes") << Variant::Sample << QStringList{"程序启动以来没有对本设备的写操作"}
                               << QStringList{"另有"};
    QTest::newRow("writes with their outcome")
        << Variant::Writes
        << QStringList{"2024-05-06 06:30:00\n写定值\n已确认", "输出A合\n未确认：回读时设备无应答",
                       "通信参数改为地址 17，波特率 19200 "
                       "bit/s\n已发送，未确认；串口未能改为新的波特率",
                       "另有 4 次写操作发往其他设备，未列出"}
        << QStringList{"没有对本设备的写操作"};
    QTest::newRow("signature fields")
        << Variant::Sample << QStringList{"角色\n姓名\n签字\n日期", "调试工程师", "见证人"}
        << QStringList{};
    QTest::newRow("list value outside its list")
        << Variant::ListValueOutside << QStringList{"曲线选择\n（无效值）"} << QStringList{};
}

void TestReport::Sections() {
    QFETCH(Variant, variant);
    QFETCH(QStringList, present);
    QFETCH(QStringList, absent);
    const QString text = PlainText(Varied(variant));
    for (const QString& part : present) {
        QVERIFY2(text.contains(part), qPrintable(part));
    }
    for (const QString& part : absent) {
        QVERIFY2(!text.contains(part), qPrintable(part));
    }
}

void TestReport::SmallTablesAreNotBroken() {
    // Every section as long as it gets: a file with write records, writes, every event.
    ReportInput input = Varied(Variant::Writes);
    input.FileName = QStringLiteral("3号柜.json");
    input.FileDifferences = 0;
    for (int k = 0; k < 6; ++k) {
        input.FileWrites << WriteRecord{input.CreatedAt, input.Line};
    }
    input.Device.Events.Count = 8;
    QTextDocument document;
    LayOutReport(document, CommissioningReportHtml(input));
    const QList<QPair<int, int>> pages = TablePages(document);
    QVERIFY(pages.size() >= 8);
    for (int k = 0; k < pages.size(); ++k) {
        QVERIFY2(pages[k].first == pages[k].second, qPrintable(QString::number(k)));
    }
    QVERIFY(document.pageCount() >= 2);
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

void TestReport::InEnglish() {
    QTemporaryDir dir;
    QSettings store(dir.filePath("language.ini"), QSettings::IniFormat);
    CLanguageChoice language(store);
    language.Apply(Language::English);
    {
        CFilesRig rig(nullptr, kSimulatedPortText);
        rig.Trigger("actionPrintReport");
        QTRY_COMPARE(rig.FileDialogs.Printed.size(), 1);
        QTextDocument document;
        LayOutReport(document, rig.FileDialogs.Printed.first());
        const QString text = document.toPlainText();
        for (const char* part : {"Item\nValue", "Serial port\nSimulator", "Device address\n1",
                                 "Phase A current\n15.100 A\n", "Parity\nNone", "Signatures",
                                 "Witness", "Role\nName\nSignature\nDate", "Value\nUnit"}) {
            QVERIFY2(text.contains(QString::fromUtf8(part)), part);
        }
        QVERIFY(!text.contains(QStringLiteral("Item\nEvent")));
        QVERIFY(!text.contains(kSimulatedPortText));
    }
    language.Apply(Language::Chinese);
}

void TestReport::NamesOnlyTheDeviceItRead() {
    // Two devices on one line: the rig's device at 12 and another at 5, each with values of
    // its own.
    CSimulatedDevice five(5);
    five.SetLiveMotion(false);
    five.SetAddress(5);
    five.SetRegister(0x0153, 75);      // CT ratio
    five.SetRegister(0x014A, 10049);   // phase A's a × 10000
    five.SetRegister(0x0124, 1 << 8);  // one stored event
    five.SetRegister(0x0120, 9 << 8);  // definite-time overload
    CFilesRig rig;
    rig.Device.SetAddress(12);
    rig.Port.AddDevice(five);

    rig.Controller->UseLine(12, 9600, 0);
    QTRY_COMPARE(rig.Controller->Operation().Pending(), 0);
    QTest::mouseClick(Child<QPushButton>(rig.Window, "eventRecordsButton"), Qt::LeftButton);
    QTRY_COMPARE(rig.Dialogs.EventRecordsShown, 1);
    rig.Controller->Run(MainCommand::CloseOutputA);  // a write to 12
    QTRY_COMPARE(rig.Files->WriteLog().Entries().size(), 1);
    rig.Controller->UseLine(5, 9600, 0);
    QTRY_COMPARE(rig.Controller->Operation().Pending(), 0);
    rig.Controller->Run(MainCommand::OpenOutputA);  // a write to 5
    QTRY_COMPARE(rig.Files->WriteLog().Entries().size(), 2);

    const ProtectionSettings windowSettings = rig.Window.Fields().Settings;
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
    rig.FileDialogs.SaveAnswer = rig.Path("report.pdf");
    rig.Trigger("actionCreateReport");
    QTRY_COMPARE(rig.FileDialogs.Messages.size(), 1);
    const QDateTime after = QDateTime::currentDateTime().addSecs(1);
    QVERIFY2(rig.FileDialogs.Messages.first().contains(QStringLiteral("调试报告已保存")),
             qPrintable(rig.FileDialogs.Messages.first()));
    QVERIFY(rig.Read("report.pdf").startsWith("%PDF-"));
    QVERIFY(rig.FileDialogs.SaveSuggested.contains(QStringLiteral("地址5")));

    QVERIFY(rig.Files->LastReport().has_value());
    const ReportInput& input = *rig.Files->LastReport();
    QCOMPARE(input.Line.Address, 5);
    QCOMPARE(input.Device.Address, 5);
    QCOMPARE(input.Device.StoredAddress, 5);
    QCOMPARE(input.Device.StoredBaud, QStringLiteral("9600"));
    QCOMPARE(input.Device.Settings.Protection.CtRatio, std::string("75"));
    QCOMPARE(input.Device.Coefficients.A[0], std::string("1.0049"));
    QCOMPARE(input.Device.Events.Count, 1);
    QCOMPARE(input.Device.Events.Codes[0], 9);
    QCOMPARE(input.Device.Events.Address, 5);
    QVERIFY(input.Device.ReadAt >= before && input.Device.ReadAt <= after);
    QCOMPARE(input.Writes.size(), 1);
    QCOMPARE(input.Writes.first().Write.Kind, DeviceWriteKind::OpenOutputA);
    QCOMPARE(input.Writes.first().Write.Outcome, DeviceWriteOutcome::Confirmed);
    QCOMPARE(input.OtherWrites, 1);
    // The currents are the device's, scaled by its own CT ratio of 75.
    QCOMPARE(input.Device.Live.Currents[0], std::string("22.650"));

    QTextDocument document;
    LayOutReport(document, CommissioningReportHtml(input));
    const QString text = document.toPlainText();
    for (const char* part : {"设备地址\n5", "电流变比\n75", "有1条告警信息", "定时限过载保护(E09)",
                             "地址 5，波特率 9600 bit/s", "输出A分\n已确认"}) {
        QVERIFY2(text.contains(QString::fromUtf8(part)), part);
    }
    for (const char* part : {"地址\n12", "地址 12", "有3条告警信息", "短路故障", "输出A合"}) {
        QVERIFY2(!text.contains(QString::fromUtf8(part)), part);
    }
    // The window's fields were not touched by the read.
    QCOMPARE(rig.Window.Fields().Settings.CtRatio, windowSettings.CtRatio);
    QCOMPARE(rig.Window.Fields().Settings.RatedCurrent, windowSettings.RatedCurrent);
}

void TestReport::RefusedWhenTheDeviceDoesNotAnswer_data() {
    QTest::addColumn<int>("answers");
    QTest::addColumn<QString>("unread");
    // The requests answered before the device falls silent: the comm-parameter reads take
    // two, the settings blocks three, the coefficients one.
    QTest::newRow("silent") << 0 << QStringLiteral("通信参数");
    QTest::newRow("after the address") << 1 << QStringLiteral("通信参数");
    QTest::newRow("after block A") << 3 << QStringLiteral("定值");
    QTest::newRow("after the settings") << 5 << QStringLiteral("校准系数");
    QTest::newRow("after the coefficients") << 6 << QStringLiteral("事件记录");
}

void TestReport::RefusedWhenTheDeviceDoesNotAnswer() {
    QFETCH(int, answers);
    QFETCH(QString, unread);
    CFilesRig rig;
    rig.Port.SilenceAfter(answers);
    rig.FileDialogs.SaveAnswer = rig.Path("report.pdf");
    rig.Trigger("actionCreateReport");
    QTRY_COMPARE(rig.FileDialogs.Messages.size(), 1);
    const QString message = rig.FileDialogs.Messages.first();
    QVERIFY2(message.contains(QStringLiteral("没有应答")) &&
                 message.contains(QStringLiteral("没有生成调试报告")) &&
                 message.contains(QStringLiteral("地址 1")) && message.contains(unread),
             qPrintable(message));
    QCOMPARE(rig.FileDialogs.SaveAsked, 0);
    QVERIFY(!QFile::exists(rig.Path("report.pdf")));
    QVERIFY(!rig.Files->LastReport());
    rig.Trigger("actionPrintReport");
    QTRY_COMPARE(rig.FileDialogs.Messages.size(), 2);
    QVERIFY(rig.FileDialogs.Printed.isEmpty());
}

void TestReport::CancelledReadMakesNoReport() {
    CFilesRig rig;
    rig.FileDialogs.SaveAnswer = rig.Path("report.pdf");
    rig.Trigger("actionCreateReport");
    auto* progress = Child<QProgressDialog>(rig.Window, "reportProgress");
    QVERIFY(progress->isVisible());
    // While the read is pending nothing else may start on the device.
    QVERIFY(!rig.Controller->Operation().Allows(OperatorAction::Reconnect));
    auto* cancel = progress->findChild<QPushButton*>();
    QVERIFY(cancel != nullptr);
    QTest::mouseClick(cancel, Qt::LeftButton);
    QTRY_COMPARE(rig.Controller->Operation().Pending(), 0);
    QTRY_VERIFY(rig.Window.findChild<QProgressDialog*>("reportProgress") == nullptr);
    QCOMPARE(rig.FileDialogs.SaveAsked, 0);
    QVERIFY(rig.FileDialogs.Messages.isEmpty());
    QVERIFY(!QFile::exists(rig.Path("report.pdf")));
}

QTEST_MAIN(TestReport)
#include "TestReport.moc"
