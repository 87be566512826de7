#pragma once
// How the window shows a live value that a read without reply has left stale: the value
// stays, its text or lamp greyed, and a tooltip (also its accessible description) says since
// when and why. A fresh value looks as the window was built.

#include <QString>

#include "monitoring/LiveFreshness.h"

class QLineEdit;

namespace mp {

class CIndicatorLamp;

// "数据已过时：自 14:03:22 起设备无应答，显示的是最后读到的值"; empty when fresh.
QString StaleToolTip(const Staleness& staleness);

void ShowStaleness(QLineEdit* field, const Staleness& staleness);
void ShowStaleness(CIndicatorLamp* lamp, const Staleness& staleness);

}  // namespace mp
