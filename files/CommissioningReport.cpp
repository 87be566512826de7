#include "files/CommissioningReport.h"

#include <QAbstractTextDocumentLayout>
#include <QCoreApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QStringList>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>

#include "device/LineCodes.h"
#include "events/EventRecords.h"
#include "files/SettingsComparison.h"
#include "files/SettingsTable.h"
#include "language/ChineseFont.h"
#include "language/Text.h"

namespace mp {
namespace {

// A4 in the document's layout units (1/96 inch) and a margin of 15 mm.
constexpr qreal kPageWidth = 210.0 / 25.4 * 96.0;
constexpr qreal kPageHeight = 297.0 / 25.4 * 96.0;
constexpr qreal kMargin = 15.0 / 25.4 * 96.0;

// Shown for a value the device did not give.
const QString kNotRead = QStringLiteral("—");

QString Esc(const QString& text) {
    return text.toHtmlEscaped();
}

QString Heading(const QString& text) {
    return QStringLiteral("<h3>%1</h3>").arg(Esc(text));
}

// A table with a header row; every cell escaped.
QString Table(const QStringList& header, const QList<QStringList>& rows) {
    QString html = QStringLiteral(
        "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\""
        " style=\"border-collapse: collapse; border-color: #808080;\"><thead><tr>");
    for (const QString& cell : header) {
        html += QStringLiteral("<th align=\"left\">%1</th>").arg(Esc(cell));
    }
    html += QStringLiteral("</tr></thead>");
    for (const QStringList& row : rows) {
        html += QStringLiteral("<tr>");
        for (const QString& cell : row) {
            html += QStringLiteral("<td>%1</td>").arg(Esc(cell));
        }
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

QString Trs(const char* source) {
    return QString::fromStdString(Tr(source));
}

QString ReportTitle() {
    return QCoreApplication::translate("mp::CommissioningReport", "智能马达保护控制器调试报告");
}

QString Paragraph(const QString& text) {
    return QStringLiteral("<p>%1</p>").arg(Esc(text));
}

QString LampText(Lamp lamp) {
    switch (lamp) {
        case Lamp::Red:
            return QCoreApplication::translate("mp::CommissioningReport", "合");
        case Lamp::Green:
            return QCoreApplication::translate("mp::CommissioningReport", "分");
        case Lamp::Unknown:
            break;
    }
    return QCoreApplication::translate("mp::CommissioningReport", "未知");
}

// A text of the report's context in the report's language.
QString T(const char* source) {
    return QCoreApplication::translate("mp::CommissioningReport", source);
}

// A value with its unit ("15.0 A"); "—" for a value the device did not give.
QString WithUnit(const QString& value, const QString& unit) {
    if (value.isEmpty()) {
        return kNotRead;
    }
    return unit.isEmpty() ? value : QStringLiteral("%1 %2").arg(value, unit);
}

QString ParityText(int parity) {
    return Trs(ParityTextOf(parity));
}

QString BaudText(int rate) {
    return QStringLiteral("%1 bit/s").arg(rate);
}

QString HeaderSection(const ReportInput& input) {
    const DeviceReading& device = input.Device;
    const QString storedBaud =
        device.StoredBaud.isEmpty()
            ? T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "代码不在列表中"))
            : BaudText(device.StoredBaud.toInt());
    QList<QStringList> rows = {
        {T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "设备地址")),
         QString::number(input.Line.Address)},
        {T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "串口")), input.PortName},
        {T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "波特率")), BaudText(input.Line.BaudRate)},
        {T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "校验")), ParityText(input.Parity)},
        {T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "设备中存储的通信参数")),
         T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "地址 %1，波特率 %2"))
             .arg(device.StoredAddress)
             .arg(storedBaud)},
        {T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "读取设备的时间")),
         TimeText(device.ReadAt)},
        {T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "报告生成时间")),
         TimeText(input.CreatedAt)},
        {T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "工具版本")), input.ToolVersion},
        {T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "定值文件")),
         input.FileName.isEmpty() ? T(QT_TRANSLATE_NOOP("mp::CommissioningReport",
                                                        "无（窗口中的定值不是定值文件中的值）"))
                                  : input.FileName},
    };
    if (!input.Note.isEmpty()) {
        rows << QStringList{T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "备注")), input.Note};
    }
    return Paragraph(T(QT_TRANSLATE_NOOP(
               "mp::CommissioningReport",
               "本报告中设备的值均为生成报告时从设备读取的值，不是窗口中显示的值。"))) +
           Table({T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "项目")),
                  T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "值"))},
                 rows);
}

QString SettingsSection(const ReportInput& input) {
    const SettingsValues& values = input.Device.Settings;
    QList<QStringList> rows;
    for (const SettingRow& row : SettingRows()) {
        const QString value = QString::fromStdString(SettingText(values, row));
        const bool worded = row.Kind == SettingKind::Curve || row.Kind == SettingKind::Phase ||
                            row.Kind == SettingKind::StartMode;
        QString shown = value;
        if (value.isEmpty() && worded) {
            shown = Trs(kNotInListText);  // a list position the device reported outside its list
        } else if (worded) {
            shown = Trs(value.toUtf8().constData());
        }
        rows << QStringList{Trs(row.Caption), shown.isEmpty() ? kNotRead : shown,
                            row.Unit[0] != '\0' ? Trs(row.Unit) : QString()};
    }
    QList<QStringList> protections;
    for (int k = 0; k < kProtectionCount; ++k) {
        const auto at = static_cast<size_t>(k);
        protections << QStringList{Trs(ProtectionRows()[at].Caption),
                                   Trs(ProtectionStateText(values.Protection.Enabled[at]))};
    }
    QString html = Heading(T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "设备中的定值")));
    if (!input.FileName.isEmpty() && input.FileDifferences == 0) {
        html += Paragraph(
            T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "设备中的定值与定值文件“%1”中的相同。"))
                .arg(input.FileName));
    } else if (!input.FileName.isEmpty() && input.FileDifferences > 0) {
        html += Paragraph(T(QT_TRANSLATE_NOOP("mp::CommissioningReport",
                                              "设备中有 %1 项定值与定值文件“%2”中的不同。"))
                              .arg(input.FileDifferences)
                              .arg(input.FileName));
    }
    html += Table({T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "定值")),
                   T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "值")),
                   T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "单位"))},
                  rows);
    return html + Heading(T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "保护投退"))) +
           Table({T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "保护")),
                  T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "状态"))},
                 protections);
}

QString FileWritesSection(const ReportInput& input) {
    if (input.FileName.isEmpty()) {
        return QString();
    }
    QString html = Heading(T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "定值文件“%1”的写入记录"))
                               .arg(input.FileName));
    if (input.FileWrites.isEmpty()) {
        return html +
               Paragraph(T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "文件中没有写入记录。")));
    }
    QList<QStringList> rows;
    for (const WriteRecord& record : input.FileWrites) {
        rows << QStringList{TimeText(record.WrittenAt), record.Line.Port,
                            QString::number(record.Line.Address), BaudText(record.Line.BaudRate)};
    }
    return html + Table({T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "写入时间")),
                         T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "串口")),
                         T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "设备地址")),
                         T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "波特率"))},
                        rows);
}

QString CoefficientSection(const ReportInput& input) {
    const CalibrationGrid& grid = input.Device.Coefficients;
    const char* const names[kCalibrationRowCount] = {
        QT_TRANSLATE_NOOP("mp::CommissioningReport", "A/AB相"),
        QT_TRANSLATE_NOOP("mp::CommissioningReport", "B/BC相"),
        QT_TRANSLATE_NOOP("mp::CommissioningReport", "C/CA相"), "PWM"};
    QList<QStringList> rows;
    for (int r = 0; r < kCalibrationRowCount; ++r) {
        const auto at = static_cast<size_t>(r);
        rows << QStringList{T(names[r]), QString::fromStdString(grid.A[at]),
                            QString::fromStdString(grid.B[at])};
    }
    return Heading(T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "校准系数"))) +
           Paragraph(T(QT_TRANSLATE_NOOP(
               "mp::CommissioningReport",
               "设备中存储的值（相的 a 系数保留四位小数，b 系数为设备存储的整数）。"))) +
           Table({T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "行")),
                  T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "a系数")),
                  T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "b系数"))},
                 rows);
}

QString EventSection(const ReportInput& input) {
    const EventRecordTexts& events = input.Device.Events;
    QString html = Heading(T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "事件记录"))) +
                   Paragraph(QString::fromStdString(ShownSummary(events)));
    QList<QStringList> rows;
    for (int k = 0; k < events.Count && k < kMaxEvents; ++k) {
        const auto at = static_cast<size_t>(k);
        rows << QStringList{QString::number(k + 1), QString::number(events.Codes[at]),
                            QString::fromStdString(ShownEvent(events, at))};
    }
    if (!rows.isEmpty()) {
        html += Table({T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "序号")),
                       T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "代码")),
                       T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "告警内容"))},
                      rows);
    }
    return html;
}

// Whether the group's values are the device's at the read, or said not to be.
QString StateText(const Staleness& staleness, bool hasValue) {
    if (!hasValue) {
        return T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "未读到（设备无应答）"));
    }
    if (staleness.Stale) {
        return T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "过时：自 %1 起设备无应答"))
            .arg(TimeText(QDateTime::fromMSecsSinceEpoch(staleness.SinceMs)));
    }
    return T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "已读取"));
}

QString LampsText(const Lamp* lamps, size_t count, const QStringList& names) {
    QStringList texts;
    for (size_t k = 0; k < count; ++k) {
        texts << QStringLiteral("%1 %2").arg(names[static_cast<int>(k)], LampText(lamps[k]));
    }
    return texts.join(T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "，")));
}

bool AnyKnown(const Lamp* lamps, size_t count) {
    for (size_t k = 0; k < count; ++k) {
        if (lamps[k] != Lamp::Unknown) {
            return true;
        }
    }
    return false;
}

QString LiveSection(const ReportInput& input) {
    const LiveValues& live = input.Device.Live;
    const CLiveFreshness& fresh = live.Freshness;
    QList<QStringList> rows;
    const char* const currents[3] = {QT_TRANSLATE_NOOP("mp::CommissioningReport", "A相电流"),
                                     QT_TRANSLATE_NOOP("mp::CommissioningReport", "B相电流"),
                                     QT_TRANSLATE_NOOP("mp::CommissioningReport", "C相电流")};
    const char* const voltages[3] = {QT_TRANSLATE_NOOP("mp::CommissioningReport", "A相电压"),
                                     QT_TRANSLATE_NOOP("mp::CommissioningReport", "B相电压"),
                                     QT_TRANSLATE_NOOP("mp::CommissioningReport", "C相电压")};
    for (size_t k = 0; k < 3; ++k) {
        const QString value = QString::fromStdString(live.Currents[k]);
        rows << QStringList{T(currents[k]), WithUnit(value, QStringLiteral("A")),
                            StateText(fresh.Of(LiveGroup::Currents), !value.isEmpty())};
    }
    for (size_t k = 0; k < 3; ++k) {
        const QString value = QString::fromStdString(live.Voltages[k]);
        rows << QStringList{T(voltages[k]), WithUnit(value, QStringLiteral("V")),
                            StateText(fresh.Of(LiveGroup::Voltages), !value.isEmpty())};
    }
    QStringList inputNames;
    for (size_t k = 0; k < live.Inputs.size(); ++k) {
        inputNames << QStringLiteral("DI%1").arg(k + 1);
    }
    const bool inputsKnown = AnyKnown(live.Inputs.data(), live.Inputs.size());
    rows << QStringList{
        T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "状态量输入")),
        inputsKnown ? LampsText(live.Inputs.data(), live.Inputs.size(), inputNames) : kNotRead,
        StateText(fresh.Of(LiveGroup::Inputs), inputsKnown)};
    const QStringList outputNames = {T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "输出A")),
                                     T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "输出B")),
                                     T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "复归"))};
    const bool outputsKnown = AnyKnown(live.Outputs.data(), live.Outputs.size());
    rows << QStringList{
        T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "控制量输出")),
        outputsKnown ? LampsText(live.Outputs.data(), live.Outputs.size(), outputNames) : kNotRead,
        StateText(fresh.Of(LiveGroup::Outputs), outputsKnown)};
    return Heading(T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "实时数据"))) +
           Paragraph(
               T(QT_TRANSLATE_NOOP("mp::CommissioningReport",
                                   "生成报告时从设备读取的值；“—”为设备没有应答、未读到的值。"))) +
           Table({T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "量")),
                  T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "值")),
                  T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "状态"))},
                 rows);
}

QString WriteKindText(const DeviceWrite& write) {
    switch (write.Kind) {
        case DeviceWriteKind::Settings:
            return T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "写定值"));
        case DeviceWriteKind::StartMode:
            return T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "设置起动方式"));
        case DeviceWriteKind::CloseOutputA:
            return T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "输出A合"));
        case DeviceWriteKind::OpenOutputA:
            return T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "输出A分"));
        case DeviceWriteKind::CloseOutputB:
            return T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "输出B合"));
        case DeviceWriteKind::OpenOutputB:
            return T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "输出B分"));
        case DeviceWriteKind::ResetOutputs:
            return T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "输出复归"));
        case DeviceWriteKind::CalibrateCurrent:
            return T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "电流校准"));
        case DeviceWriteKind::CalibrateVoltage:
            return T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "电压校准"));
        case DeviceWriteKind::PwmOutput:
            return T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "PWM输出设置"));
        case DeviceWriteKind::ResetCurrentCoefficients:
            return T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "电流校准系数复归"));
        case DeviceWriteKind::ResetVoltageCoefficients:
            return T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "电压校准系数复归"));
        case DeviceWriteKind::CommParams:
            return T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "通信参数改为地址 %1，波特率 %2"))
                .arg(write.NewAddress)
                .arg(BaudText(write.NewBaudRate));
    }
    return QString();
}

QString OutcomeText(DeviceWriteOutcome outcome) {
    switch (outcome) {
        case DeviceWriteOutcome::Confirmed:
            return T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "已确认（设备回读一致）"));
        case DeviceWriteOutcome::NotHeld:
            return T(
                QT_TRANSLATE_NOOP("mp::CommissioningReport", "未确认：设备中的值与写入的不符"));
        case DeviceWriteOutcome::NoReply:
            return T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "未确认：回读时设备无应答"));
        case DeviceWriteOutcome::SentOnly:
            return T(
                QT_TRANSLATE_NOOP("mp::CommissioningReport", "已发送，设备对此命令不应答，未确认"));
        case DeviceWriteOutcome::NotFollowed:
            return T(QT_TRANSLATE_NOOP("mp::CommissioningReport",
                                       "已发送，未确认；串口未能改为新的波特率"));
    }
    return QString();
}

QString WritesSection(const ReportInput& input) {
    QString html =
        Heading(T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "本次运行中对设备的写操作")));
    if (input.Writes.isEmpty()) {
        html += Paragraph(
            T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "程序启动以来没有对本设备的写操作。")));
    } else {
        QList<QStringList> rows;
        for (const DeviceWriteEntry& entry : input.Writes) {
            rows << QStringList{TimeText(entry.At), WriteKindText(entry.Write),
                                OutcomeText(entry.Write.Outcome)};
        }
        html += Table({T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "时间")),
                       T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "操作")),
                       T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "结果"))},
                      rows);
    }
    if (input.OtherWrites > 0) {
        html += Paragraph(T(QT_TRANSLATE_NOOP("mp::CommissioningReport",
                                              "另有 %1 次写操作发往其他设备，未列出。"))
                              .arg(input.OtherWrites));
    }
    return html;
}

QString SignatureSection() {
    // Tall empty cells to sign and date by hand.
    const QString blank = QStringLiteral("<td>&nbsp;<br/>&nbsp;<br/>&nbsp;</td>");
    QString html = Heading(T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "签字确认"))) +
                   QStringLiteral(
                       "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\""
                       " style=\"border-collapse: collapse; border-color: #808080;\"><tr>");
    for (const QString& cell : {T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "角色")),
                                T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "姓名")),
                                T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "签字")),
                                T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "日期"))}) {
        html += QStringLiteral("<th align=\"left\">%1</th>").arg(Esc(cell));
    }
    html += QStringLiteral("</tr>");
    for (const QString& role : {T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "调试工程师")),
                                T(QT_TRANSLATE_NOOP("mp::CommissioningReport", "见证人"))}) {
        html += QStringLiteral("<tr><td width=\"22%\">%1</td>").arg(Esc(role)) + blank + blank +
                blank + QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

// A section (a heading and what follows it up to the next heading) that would begin on one
// page and end on the next begins on a new page when it fits on one: no small table is broken
// for a few rows left over.
void KeepSectionsTogether(QTextDocument& document) {
    const qreal usable = kPageHeight - 2 * kMargin;
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    struct Section {
        QTextBlock Heading;
        qreal Top = 0;
        qreal Bottom = 0;
    };
    // Each pass moves one section; the ones after it are looked at again in the new layout.
    for (int pass = 0; pass < 64; ++pass) {
        QList<Section> sections;
        for (auto it = document.rootFrame()->begin(); !it.atEnd(); ++it) {
            const QRectF box = it.currentFrame() != nullptr
                                   ? layout->frameBoundingRect(it.currentFrame())
                                   : layout->blockBoundingRect(it.currentBlock());
            if (it.currentFrame() == nullptr &&
                it.currentBlock().blockFormat().headingLevel() == 3) {
                sections << Section{it.currentBlock(), box.top(), box.bottom()};
            } else if (!sections.isEmpty() && !box.isEmpty()) {
                sections.last().Bottom = qMax(sections.last().Bottom, box.bottom());
            }
        }
        bool moved = false;
        for (const Section& section : sections) {
            const int firstPage = static_cast<int>(section.Top / kPageHeight);
            const int lastPage = static_cast<int>((section.Bottom - 1) / kPageHeight);
            QTextBlockFormat format = section.Heading.blockFormat();
            if (lastPage > firstPage && section.Bottom - section.Top <= usable &&
                !(format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)) {
                format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
                QTextCursor(section.Heading).setBlockFormat(format);
                moved = true;
                break;
            }
        }
        if (!moved) {
            return;
        }
    }
}

QFont ReportFont() {
    const QStringList preferred = {
        QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
        QStringLiteral("Source Han Sans SC"), QStringLiteral("SimSun"), QString::fromUtf8("宋体")};
    QFont font(InstalledChineseFamily(preferred));
    font.setPointSize(10);
    return font;
}

}  // namespace

QString CommissioningReportHtml(const ReportInput& input) {
    return QStringLiteral("<html><body><h2>%1</h2>").arg(Esc(ReportTitle())) +
           HeaderSection(input) + SettingsSection(input) + FileWritesSection(input) +
           CoefficientSection(input) + EventSection(input) + LiveSection(input) +
           WritesSection(input) + SignatureSection() + QStringLiteral("</body></html>");
}

void LayOutReport(QTextDocument& document, const QString& html) {
    document.setDefaultFont(ReportFont());
    document.setDocumentMargin(kMargin);
    document.setPageSize(QSizeF(kPageWidth, kPageHeight));
    document.setHtml(html);
    KeepSectionsTogether(document);
}

void PrintReport(const QString& html, QPagedPaintDevice& printer) {
    // The document's pages carry their own margins and fill the printer's whole page.
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    QTextDocument document;
    LayOutReport(document, html);
    document.print(&printer);
}

bool SaveReportPdf(const QString& html, const QString& path, QString* reason) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (reason != nullptr) {
            *reason = file.errorString();
        }
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(300);
        writer.setTitle(ReportTitle());
        writer.setCreator(
            QCoreApplication::translate("mp::CommissioningReport", "马达保护控制器配置工具"));
        PrintReport(html, writer);
    }
    if (file.error() != QFileDevice::NoError || !file.commit()) {
        if (reason != nullptr) {
            *reason = file.errorString();
        }
        return false;
    }
    return true;
}

QImage RenderReportPage(const QString& html, int page, qreal scale) {
    QTextDocument document;
    LayOutReport(document, html);
    QImage image(QSize(qRound(kPageWidth * scale), qRound(kPageHeight * scale)),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    painter.translate(0, -page * kPageHeight);
    document.drawContents(&painter, QRectF(0, page * kPageHeight, kPageWidth, kPageHeight));
    return image;
}

}  // namespace mp
