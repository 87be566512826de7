#pragma once
// Texts written out as CSV (RFC 4180), as every export of the tool writes them: a field in
// double quotes, its quotes doubled, when it holds a comma, a quote or a line break; fields
// joined by commas; a line ended by CR LF.

#include <QString>
#include <QStringList>

namespace mp {

QString CsvField(const QString& text);
QString CsvLine(const QStringList& fields);

}  // namespace mp
