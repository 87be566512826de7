#include "language/CsvText.h"

namespace mp {

QString CsvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r'))) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString CsvLine(const QStringList& fields) {
    QStringList out;
    for (const QString& field : fields) {
        out << CsvField(field);
    }
    return out.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

}  // namespace mp
