#include "events/EventRecordsCsv.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSaveFile>
#include <QStringList>
#include <algorithm>

#include "events/EventRecords.h"
#include "language/CsvText.h"

namespace mp {

QByteArray EventRecordsCsv(const EventRecordTexts& texts) {
    const QString readAt = texts.ReadAtMs == 0
                               ? QString()
                               : QDateTime::fromMSecsSinceEpoch(texts.ReadAtMs)
                                     .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QString csv = CsvLine({QCoreApplication::translate("EventRecordsCsv", "读取时间"), readAt}) +
                  CsvLine({QCoreApplication::translate("EventRecordsCsv", "设备地址"),
                           QString::number(texts.Address)}) +
                  CsvLine({QCoreApplication::translate("EventRecordsCsv", "告警条数"),
                           QString::fromStdString(ShownSummary(texts))}) +
                  CsvLine({QCoreApplication::translate("EventRecordsCsv", "序号"),
                           QCoreApplication::translate("EventRecordsCsv", "代码"),
                           QCoreApplication::translate("EventRecordsCsv", "内容")});
    const int count =
        texts.Count < 0 ? 0 : std::min(texts.Count, static_cast<int>(texts.Codes.size()));
    for (int k = 0; k < count; ++k) {
        const auto at = static_cast<size_t>(k);
        csv += CsvLine({QString::number(k + 1), QString::number(texts.Codes[at]),
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
