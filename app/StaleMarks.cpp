#include "app/StaleMarks.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLineEdit>

#include "app/IndicatorLamp.h"
#include "language/Text.h"

namespace mp {

namespace {

const QString kStaleTextStyle = QStringLiteral("color: rgb(128, 128, 128);");
// Shown in an empty live field: nothing was measured, which is not zero.
const QString kNotReadMark = QStringLiteral("\u2014");

}  // namespace

QString StaleToolTip(const Staleness& staleness) {
    if (!staleness.Stale) {
        return {};
    }
    const QDateTime since = QDateTime::fromMSecsSinceEpoch(staleness.SinceMs);
    const bool today = since.date() == QDate::currentDate();
    return QCoreApplication::translate("mp::StaleMarks",
                                       "数据已过时：自 %1 起%2，显示的是最后读到的值")
        .arg(since.toString(today ? QStringLiteral("HH:mm:ss")
                                  : QStringLiteral("yyyy-MM-dd HH:mm:ss")),
             QString::fromStdString(mp::Tr(ReadFailureText(staleness.Reason))));
}

QString NotReadToolTip() {
    return QCoreApplication::translate("mp::StaleMarks", "未读取");
}

void ShowStaleness(QLineEdit* field, const Staleness& staleness) {
    const bool notRead = field->text().isEmpty();
    const bool stale = staleness.Stale && !notRead;
    const QString tip = notRead ? NotReadToolTip() : StaleToolTip(staleness);
    if (field->toolTip() == tip && field->property("stale").toBool() == stale &&
        field->property("notRead").toBool() == notRead) {
        return;
    }
    field->setProperty("stale", stale);
    field->setProperty("notRead", notRead);
    field->setPlaceholderText(kNotReadMark);
    field->setStyleSheet(stale ? kStaleTextStyle : QString());
    field->setToolTip(tip);
    field->setAccessibleDescription(tip);
}

void ShowStaleness(CIndicatorLamp* lamp, const Staleness& staleness) {
    lamp->SetStale(staleness.Stale);
    // Grey: no read has told the state yet, or the read after a command found no reply.
    const bool notRead = lamp->State() == Lamp::Unknown;
    lamp->setToolTip(notRead ? NotReadToolTip() : StaleToolTip(staleness));
}

}  // namespace mp
