#include "events/EventRecordsCsv.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSaveFile>
#include <QStringList>
#include <algorithm>

#include "events/EventRecords.h"

namespace mp {
namespace {

// A field in double quotes when it holds a separator, a quote or a line break.
QString Field(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString Line(const QStringList& fields) {
    QStringList out;
    for (const QString& field : fields) {
        out << Field(field);
    }
    return out.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

}  // namespace

QByteArray EventRecordsCsv(const EventRecordTexts& texts) {
    const QString readAt = texts.ReadAtMs == 0
                               ? QString()
                               : QDateTime::fromMSecsSinceEpoch(texts.ReadAtMs)
                                     .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QString csv = Line({QCoreApplication::translate("EventRecordsCsv", "读取时间"), readAt}) +
                  Line({QCoreApplication::translate("EventRecordsCsv", "设备地址"),
                        QString::number(texts.Address)}) +
                  Line({QCoreApplication::translate("EventRecordsCsv", "告警条数"),
                        QString::fromStdString(ShownSummary(texts))}) +
                  Line({QCoreApplication::translate("EventRecordsCsv", "序号"),
                        QCoreApplication::translate("EventRecordsCsv", "代码"),
                        QCoreApplication::translate("EventRecordsCsv", "内容")});
    const int count =
        texts.Count < 0 ? 0 : std::min(texts.Count, static_cast<int>(texts.Codes.size()));
    for (int k = 0; k < count; ++k) {
        const auto at = static_cast<size_t>(k);
        csv += Line({QString::number(k + 1), QString::number(texts.Codes[at]),
                     QString::fromStdString(ShownEvent(texts, at))});
    }
    return QByteArray("\xEF\xBB\xBF") + csv.toUtf8();
}

bool SaveEventRecordsCsv(const EventRecordTexts& texts, const QString& path, QString* reason) {
    QSaveFile file(path);
    const QByteArray bytes = EventRecordsCsv(texts);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(bytes) != bytes.size() || !file.commit()) {
        if (reason != nullptr) {
            *reason = file.errorString();
        }
        return false;
    }
    return true;
}

}  // namespace mp
