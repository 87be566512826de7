#include "app/StaleMarks.h"

#include <QCoreApplication>

#include <QDateTime>
#include <QLineEdit>

#include "app/IndicatorLamp.h"
#include "language/Text.h"

namespace mp {

namespace {

const QString kStaleTextStyle = QStringLiteral("color: rgb(128, 128, 128);");

}  // namespace

QString StaleToolTip(const Staleness& staleness) {
    if (!staleness.Stale) {
        return {};
    }
    const QDateTime since = QDateTime::fromMSecsSinceEpoch(staleness.SinceMs);
    const bool today = since.date() == QDate::currentDate();
    return QCoreApplication::translate("mp::StaleMarks", "数据已过时：自 %1 起%2，显示的是最后读到的值")
        .arg(since.toString(today ? QStringLiteral("HH:mm:ss")
                                  : QStringLiteral("yyyy-MM-dd HH:mm:ss")),
             QString::fromStdString(mp::Tr(ReadFailureText(staleness.Reason))));
}

void ShowStaleness(QLineEdit* field, const Staleness& staleness) {
    const QString tip = StaleToolTip(staleness);
    if (field->toolTip() == tip && field->property("stale").toBool() == staleness.Stale) {
        return;
    }
    field->setProperty("stale", staleness.Stale);
    field->setStyleSheet(staleness.Stale ? kStaleTextStyle : QString());
    field->setToolTip(tip);
    field->setAccessibleDescription(tip);
}

void ShowStaleness(CIndicatorLamp* lamp, const Staleness& staleness) {
    lamp->SetStale(staleness.Stale);
    lamp->setToolTip(StaleToolTip(staleness));
}

}  // namespace mp
