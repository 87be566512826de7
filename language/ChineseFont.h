#pragma once
// The font family Chinese texts are shown or printed in.

#include <QString>
#include <QStringList>

namespace mp {

// The first of `preferred` that is installed, else the first Simplified Chinese family the
// system has; empty when it has none.
QString InstalledChineseFamily(const QStringList& preferred);

}  // namespace mp
