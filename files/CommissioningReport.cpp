#include "files/CommissioningReport.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QStringList>
#include <QTextDocument>

#include "events/EventRecords.h"
#include "files/SettingsTable.h"
#include "language/ChineseFont.h"
#include "language/Text.h"

namespace mp {
namespace {

// A4 in the document's layout units (1/96 inch) and a margin of 15 mm.
constexpr qreal kPageWidth = 210.0 / 25.4 * 96.0;
constexpr qreal kPageHeight = 297.0 / 25.4 * 96.0;
constexpr qreal kMargin = 15.0 / 25.4 * 96.0;

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
        " style=\"border-collapse: collapse; border-color: #808080;\"><tr>");
    for (const QString& cell : header) {
        html += QStringLiteral("<th align=\"left\">%1</th>").arg(Esc(cell));
    }
    html += QStringLiteral("</tr>");
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

QString TimeText(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString SettingsSection(const ReportInput& input) {
    QList<QStringList> rows;
    for (const SettingRow& row : SettingRows()) {
        const QString value = QString::fromStdString(SettingText(input.Values, row));
        const bool worded = row.Kind == SettingKind::Curve || row.Kind == SettingKind::Phase ||
                            row.Kind == SettingKind::StartMode;
        rows << QStringList{Trs(row.Caption),
                            worded && !value.isEmpty() ? Trs(value.toUtf8().constData()) : value,
                            row.Unit[0] != '\0' ? Trs(row.Unit) : QString()};
    }
    QList<QStringList> protections;
    for (int k = 0; k < kProtectionCount; ++k) {
        const auto at = static_cast<size_t>(k);
        protections << QStringList{Trs(ProtectionRows()[at].Caption),
                                   Trs(ProtectionStateText(input.Values.Protection.Enabled[at]))};
    }
    return Heading(QCoreApplication::translate("mp::CommissioningReport", "定值")) +
           Paragraph(input.ValuesSource) +
           Table({QCoreApplication::translate("mp::CommissioningReport", "定值"),
                  QCoreApplication::translate("mp::CommissioningReport", "值"),
                  QCoreApplication::translate("mp::CommissioningReport", "单位")},
                 rows) +
           Heading(QCoreApplication::translate("mp::CommissioningReport", "保护投退")) +
           Table({QCoreApplication::translate("mp::CommissioningReport", "保护"),
                  QCoreApplication::translate("mp::CommissioningReport", "状态")},
                 protections);
}

QString CoefficientSection(const ReportInput& input) {
    // The records from the device start a page of their own, after the settings.
    QString html = QStringLiteral("<h3 style=\"page-break-before: always\">%1</h3>")
                       .arg(QCoreApplication::translate("mp::CommissioningReport", "校准系数"));
    if (!input.Coefficients) {
        return html + Paragraph(QCoreApplication::translate("mp::CommissioningReport",
                                                            "本次运行中未从设备读取校准系数。"));
    }
    const CalibrationGrid& grid = *input.Coefficients;
    const char* const names[kCalibrationRowCount] = {
        QT_TRANSLATE_NOOP("mp::CommissioningReport", "A/AB相"),
        QT_TRANSLATE_NOOP("mp::CommissioningReport", "B/BC相"),
        QT_TRANSLATE_NOOP("mp::CommissioningReport", "C/CA相"), "PWM"};
    QList<QStringList> rows;
    for (int r = 0; r < kCalibrationRowCount; ++r) {
        const auto at = static_cast<size_t>(r);
        rows << QStringList{QCoreApplication::translate("mp::CommissioningReport", names[r]),
                            QString::fromStdString(grid.A[at]), QString::fromStdString(grid.B[at])};
    }
    return html +
           Paragraph(QCoreApplication::translate("mp::CommissioningReport",
                                                 "设备中存储的值（相的 a 系数为 a × 10000）。")) +
           Table({QCoreApplication::translate("mp::CommissioningReport", "行"),
                  QCoreApplication::translate("mp::CommissioningReport", "a系数"),
                  QCoreApplication::translate("mp::CommissioningReport", "b系数")},
                 rows);
}

QString EventSection(const ReportInput& input) {
    QString html = Heading(QCoreApplication::translate("mp::CommissioningReport", "事件记录"));
    if (!input.Events) {
        return html + Paragraph(QCoreApplication::translate("mp::CommissioningReport",
                                                            "本次运行中未读取事件记录。"));
    }
    const EventRecordTexts& events = *input.Events;
    const QDateTime readAt = QDateTime::fromMSecsSinceEpoch(events.ReadAtMs);
    html += Paragraph(
        QCoreApplication::translate("mp::CommissioningReport", "读取时间 %1，设备地址 %2：%3")
            .arg(TimeText(readAt))
            .arg(events.Address)
            .arg(QString::fromStdString(ShownSummary(events))));
    QList<QStringList> rows;
    for (int k = 0; k < events.Count; ++k) {
        const auto at = static_cast<size_t>(k);
        rows << QStringList{QString::number(k + 1), QString::number(events.Codes[at]),
                            QString::fromStdString(ShownEvent(events, at))};
    }
    if (!rows.isEmpty()) {
        html += Table({QCoreApplication::translate("mp::CommissioningReport", "序号"),
                       QCoreApplication::translate("mp::CommissioningReport", "代码"),
                       QCoreApplication::translate("mp::CommissioningReport", "内容")},
                      rows);
    }
    return html;
}

QString LiveSection(const ReportInput& input) {
    const LiveValues& live = input.Live;
    const QString state =
        input.Polling
            ? QCoreApplication::translate("mp::CommissioningReport",
                                          "生成报告时正在读实时数据，以下为窗口当时显示的值。")
            : QCoreApplication::translate("mp::CommissioningReport",
                                          "生成报告时未在读实时数据，以下为窗口最后显示的值，"
                                          "可能不是设备当前的值。");
    QList<QStringList> rows;
    const char* const currents[3] = {QT_TRANSLATE_NOOP("mp::CommissioningReport", "A相电流"),
                                     QT_TRANSLATE_NOOP("mp::CommissioningReport", "B相电流"),
                                     QT_TRANSLATE_NOOP("mp::CommissioningReport", "C相电流")};
    const char* const voltages[3] = {QT_TRANSLATE_NOOP("mp::CommissioningReport", "A相电压"),
                                     QT_TRANSLATE_NOOP("mp::CommissioningReport", "B相电压"),
                                     QT_TRANSLATE_NOOP("mp::CommissioningReport", "C相电压")};
    for (size_t k = 0; k < 3; ++k) {
        rows << QStringList{QCoreApplication::translate("mp::CommissioningReport", currents[k]),
                            QString::fromStdString(live.Currents[k])};
    }
    for (size_t k = 0; k < 3; ++k) {
        rows << QStringList{QCoreApplication::translate("mp::CommissioningReport", voltages[k]),
                            QString::fromStdString(live.Voltages[k])};
    }
    rows << QStringList{
        QCoreApplication::translate("mp::CommissioningReport", "实时数据采集时间 (ms)"),
        QString::number(live.AcquisitionTime)};
    QStringList inputs;
    for (size_t k = 0; k < live.Inputs.size(); ++k) {
        inputs << QStringLiteral("DI%1 %2").arg(k + 1).arg(LampText(live.Inputs[k]));
    }
    rows << QStringList{QCoreApplication::translate("mp::CommissioningReport", "状态量输入"),
                        inputs.join(QCoreApplication::translate("mp::CommissioningReport", "，"))};
    const char* const outputs[3] = {QT_TRANSLATE_NOOP("mp::CommissioningReport", "输出A"),
                                    QT_TRANSLATE_NOOP("mp::CommissioningReport", "输出B"),
                                    QT_TRANSLATE_NOOP("mp::CommissioningReport", "复归")};
    QStringList outputTexts;
    for (size_t k = 0; k < 3; ++k) {
        outputTexts << QStringLiteral("%1 %2").arg(
            QCoreApplication::translate("mp::CommissioningReport", outputs[k]),
            LampText(live.Outputs[k]));
    }
    rows << QStringList{
        QCoreApplication::translate("mp::CommissioningReport", "控制量输出"),
        outputTexts.join(QCoreApplication::translate("mp::CommissioningReport", "，"))};
    return Heading(QCoreApplication::translate("mp::CommissioningReport", "实时数据快照")) +
           Paragraph(state) +
           Table({QCoreApplication::translate("mp::CommissioningReport", "量"),
                  QCoreApplication::translate("mp::CommissioningReport", "值")},
                 rows);
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
    QList<QStringList> rows = {
        {QCoreApplication::translate("mp::CommissioningReport", "日期"), TimeText(input.CreatedAt)},
        {QCoreApplication::translate("mp::CommissioningReport", "串口"), input.Line.Port},
        {QCoreApplication::translate("mp::CommissioningReport", "设备地址"),
         QString::number(input.Line.Address)},
        {QCoreApplication::translate("mp::CommissioningReport", "波特率"),
         QString::number(input.Line.BaudRate)},
    };
    if (!input.Note.isEmpty()) {
        rows << QStringList{QCoreApplication::translate("mp::CommissioningReport", "备注"),
                            input.Note};
    }
    return QStringLiteral("<html><body><h2>%1</h2>").arg(Esc(ReportTitle())) +
           Table({QCoreApplication::translate("mp::CommissioningReport", "项目"),
                  QCoreApplication::translate("mp::CommissioningReport", "内容")},
                 rows) +
           SettingsSection(input) + CoefficientSection(input) + EventSection(input) +
           LiveSection(input) + QStringLiteral("</body></html>");
}

void LayOutReport(QTextDocument& document, const QString& html) {
    document.setDefaultFont(ReportFont());
    document.setDocumentMargin(kMargin);
    document.setPageSize(QSizeF(kPageWidth, kPageHeight));
    document.setHtml(html);
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
