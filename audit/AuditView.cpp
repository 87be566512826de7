#include "audit/AuditView.h"

#include <QDateTime>
#include <QJsonValue>
#include <QMap>

#include "language/CsvText.h"

namespace mp {
namespace {

// At most this many changed values in the condensed text; the rest are counted.
constexpr int kChangeItems = 6;

QString ValueText(const QJsonValue& value) {
    switch (value.type()) {
        case QJsonValue::Double:
            return QString::number(value.toDouble());
        case QJsonValue::String:
            return value.toString();
        case QJsonValue::Bool:
            return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
        default:
            return QString();
    }
}

// The values by their name; the members of an object within (the registers of a read) by
// their own names.
QMap<QString, QString> Flat(const QJsonObject& object) {
    QMap<QString, QString> flat;
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.key() == QStringLiteral("readAt")) {
            continue;
        }
        if (it.value().isObject()) {
            const QJsonObject inner = it.value().toObject();
            for (auto at = inner.begin(); at != inner.end(); ++at) {
                flat.insert(at.key(), ValueText(at.value()));
            }
        } else {
            flat.insert(it.key(), ValueText(it.value()));
        }
    }
    return flat;
}

}  // namespace

bool AuditFilter::Matches(const AuditEntry& entry) const {
    if ((!Tag.isEmpty() && entry.Tag != Tag) ||
        (!Operation.isEmpty() && entry.Operation != Operation) ||
        (!Outcome.isEmpty() && entry.Outcome != Outcome)) {
        return false;
    }
    const QString text = Text.trimmed();
    if (text.isEmpty()) {
        return true;
    }
    for (const QString& field : AuditRowTexts(entry)) {
        if (field.contains(text, Qt::CaseInsensitive)) {
            return true;
        }
    }
    return false;
}

QString AuditChangeText(const QJsonObject& before, const QJsonObject& after) {
    const QMap<QString, QString> was = Flat(before);
    const QMap<QString, QString> now = Flat(after);
    QStringList keys = was.keys() + now.keys();
    keys.removeDuplicates();
    keys.sort();
    QStringList items;
    for (const QString& key : keys) {
        const bool read = was.contains(key);
        const bool held = now.contains(key);
        if (read && held && was[key] == now[key]) {
            continue;
        }
        if (!read) {
            items << QStringLiteral("%1=%2").arg(key, now[key]);
        } else {
            items << QStringLiteral("%1 %2→%3").arg(key, was[key], held ? now[key] : QString());
        }
    }
    const int more = items.size() - kChangeItems;
    if (more > 0) {
        items = items.mid(0, kChangeItems);
        items << QStringLiteral("… (+%1)").arg(more);
    }
    return items.join(QStringLiteral(", "));
}

QStringList AuditRowTexts(const AuditEntry& entry) {
    QStringList row;
    row << QDateTime::fromMSecsSinceEpoch(entry.TimeMs)
               .toLocalTime()
               .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
        << entry.User << entry.Host << entry.Tag << entry.Line << QString::number(entry.Address)
        << entry.Operation << entry.Outcome << AuditChangeText(entry.Before, entry.After)
        << entry.Detail;
    return row;
}

QByteArray AuditCsv(const QStringList& heading, const QVector<QStringList>& rows) {
    QString csv = CsvLine(heading);
    for (const QStringList& row : rows) {
        csv += CsvLine(row);
    }
    return QByteArray("\xEF\xBB\xBF") + csv.toUtf8();
}

}  // namespace mp
