#include "batch/PlantSummary.h"

#include <QCoreApplication>
#include <QMenu>

#include "batch/EffectiveSettings.h"
#include "dialogs/DialogService.h"
#include "files/CommissioningReport.h"

namespace mp {
namespace {

class SummaryText {
    Q_DECLARE_TR_FUNCTIONS(mp::PlantSummary)
};

QString Cell(const QString& text) {
    return QStringLiteral("<td>%1</td>")
        .arg(text.toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>")));
}

// The settings an entry changed: keys whose value before and after differ.
int ChangedSettings(const AuditEntry& e) {
    int changed = 0;
    for (const char* group : {"settings", "protections"}) {
        const QJsonObject before = e.Before.value(QLatin1String(group)).toObject();
        const QJsonObject after = e.After.value(QLatin1String(group)).toObject();
        for (auto it = after.begin(); it != after.end(); ++it) {
            changed += before.value(it.key()) != it.value() ? 1 : 0;
        }
    }
    return changed;
}

}  // namespace

QString PlantSummaryHtml(const Plant& plant, const QDir& plantDir, const QVector<AuditEntry>& log,
                         const LastCompareFn& lastCompare, const QDateTime& now) {
    QString html = QStringLiteral("<h2>%1</h2><p>%2</p>")
                       .arg(SummaryText::tr("厂站汇总报告 - %1").arg(plant.Name).toHtmlEscaped(),
                            SummaryText::tr("生成于 %1，%2 条馈线")
                                .arg(now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                                .arg(plant.Feeders.size())
                                .toHtmlEscaped());
    html +=
        QStringLiteral(
            "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><tr>"
            "<th>%1</th><th>%2</th><th>%3</th><th>%4</th><th>%5</th><th>%6</th><th>%7</th></tr>")
            .arg(SummaryText::tr("位号"), SummaryText::tr("说明"), SummaryText::tr("线路"),
                 SummaryText::tr("地址"), SummaryText::tr("定值来源"), SummaryText::tr("最近比较"),
                 SummaryText::tr("最近确认的写入"));
    for (const Feeder& feeder : plant.Feeders) {
        const EffectiveSettings effective = EffectiveSettingsOf(feeder, plantDir);
        QString source = effective.HasSource() ? effective.Source : SummaryText::tr("无定值来源");
        if (!effective.Faults.isEmpty()) {
            source += QLatin1Char('\n') + effective.Faults.join(QLatin1Char('\n'));
        }
        QString written = SummaryText::tr("无");
        for (auto it = log.rbegin(); it != log.rend(); ++it) {
            if (it->Tag == feeder.Tag && it->Operation == QLatin1String("write-settings") &&
                it->Outcome == QLatin1String("confirmed")) {
                written = SummaryText::tr("%1\n%2@%3，改变 %4 项")
                              .arg(QDateTime::fromMSecsSinceEpoch(it->TimeMs)
                                       .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")))
                              .arg(it->User, it->Host)
                              .arg(ChangedSettings(*it));
                break;
            }
        }
        const QString compared = lastCompare ? lastCompare(feeder.Tag) : QString();
        html += QStringLiteral("<tr>") + Cell(feeder.Tag) + Cell(feeder.Description) +
                Cell(feeder.Line) + Cell(QString::number(feeder.Address)) + Cell(source) +
                Cell(compared.isEmpty() ? SummaryText::tr("未比较") : compared) + Cell(written) +
                QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

void AddPlantSummaryAction(QMenu* menu, PlantWork work, LastCompareFn lastCompare) {
    QAction* action = menu->addAction(SummaryText::tr("厂站汇总报告..."));
    QObject::connect(action, &QAction::triggered, menu, [work, lastCompare] {
        const Plant* plant = work.CurrentPlant();
        if (plant == nullptr) {
            work.Dialogs->Inform(work.Parent, SummaryText::tr("没有打开的厂站。"));
            return;
        }
        const QString path =
            work.Dialogs->SaveFileName(work.Parent, SummaryText::tr("保存厂站汇总报告"),
                                       SummaryText::tr("厂站汇总-%1.pdf").arg(plant->Name),
                                       SummaryText::tr("PDF 文件 (*.pdf)"), QStringLiteral("pdf"));
        if (path.isEmpty()) {
            return;
        }
        const QString html = PlantSummaryHtml(
            *plant, work.PlantDir(), CAuditLog::Read(CAuditLog::PlantPath(work.PlantPath())),
            lastCompare, QDateTime::currentDateTime());
        QString reason;
        if (!SaveReportPdf(html, path, &reason)) {
            work.Dialogs->Inform(work.Parent,
                                 SummaryText::tr("无法保存报告 %1：%2").arg(path, reason));
        }
    });
}

}  // namespace mp
