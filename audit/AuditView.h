#pragma once
// What the audit log's viewer shows of the entries: which ones a filter keeps, each entry as
// the table's row of texts (the change condensed to the values that differ), and the rows as
// a CSV file.

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>

#include "audit/AuditLog.h"

namespace mp {

struct AuditFilter {
    QString Text;       // found in any column (case ignored); empty: any
    QString Tag;        // exactly this feeder tag; empty: any
    QString Operation;  // exactly this operation; empty: any
    QString Outcome;    // exactly this outcome; empty: any

    bool Matches(const AuditEntry& entry) const;
};

// The table's columns, in order.
enum AuditColumn {
    kAuditTime,
    kAuditUser,
    kAuditHost,
    kAuditTag,
    kAuditLine,
    kAuditAddress,
    kAuditOperation,
    kAuditOutcome,
    kAuditChange,
    kAuditDetail,
    kAuditColumnCount
};

// The values before and after, condensed: "key before→after" for each value that differs,
// "key=after" for one only read after, "key before→" for one only read before; values the
// same on both sides and the time of the read are left out. "" when neither side holds one.
QString AuditChangeText(const QJsonObject& before, const QJsonObject& after);

// The entry's texts by AuditColumn; the time in local time.
QStringList AuditRowTexts(const AuditEntry& entry);

// The heading and the rows as CSV: UTF-8 with a byte-order mark (spreadsheet programs read the
// Chinese texts), fields quoted where needed, lines ending in CR LF.
QByteArray AuditCsv(const QStringList& heading, const QVector<QStringList>& rows);

}  // namespace mp
