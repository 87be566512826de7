#pragma once
// How the window shows a live value that a read without reply has left stale: the value
// stays, its text or lamp greyed, and a tooltip (also its accessible description) says since
// when and why. A value no read has given yet shows "—" (an empty field) or a grey lamp, and
// says "未读取" the same way. A fresh value looks as the window was built.

#include <QString>

#include "monitoring/LiveFreshness.h"

class QLineEdit;

namespace mp {

class CIndicatorLamp;

// "数据已过时：自 14:03:22 起设备无应答，显示的是最后读到的值"; empty when fresh.
QString StaleToolTip(const Staleness& staleness);
// "未读取": what a value no read has given yet says to the operator and assistive technology.
QString NotReadToolTip();

// An empty field is a value not read; it never shows as a measurement.
void ShowStaleness(QLineEdit* field, const Staleness& staleness);
// A lamp in the unknown state says it was not read; one that a read without reply has left
// says since when and why, like the fields.
void ShowStaleness(CIndicatorLamp* lamp, const Staleness& staleness);

}  // namespace mp
