#include "language/ChineseFont.h"

#include <QFontDatabase>

namespace mp {

QString InstalledChineseFamily(const QStringList& preferred) {
    const QStringList families = QFontDatabase::families();
    for (const QString& family : preferred) {
        if (families.contains(family, Qt::CaseInsensitive)) {
            return family;
        }
    }
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    return chinese.isEmpty() ? QString() : chinese.first();
}

}  // namespace mp
