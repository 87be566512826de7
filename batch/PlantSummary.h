#pragma once
// The plant summary report: one table of every feeder with the source of its effective
// settings, the result of the last compare with its relay, and the last confirmed write of
// its settings as the audit log has it (when, who, from which computer, how many settings
// changed). Written as a PDF through the commissioning report's layout.

#include <QDateTime>
#include <QDir>
#include <QString>
#include <QVector>
#include <functional>

#include "audit/AuditLog.h"
#include "batch/PlantWork.h"
#include "plant/Plant.h"

class QMenu;

namespace mp {

// The last compare of a feeder in words ("一致 (2026-12-08 06:20)"), empty when none.
using LastCompareFn = std::function<QString(const QString& tag)>;

// The report as HTML, every value escaped.
QString PlantSummaryHtml(const Plant& plant, const QDir& plantDir, const QVector<AuditEntry>& log,
                         const LastCompareFn& lastCompare, const QDateTime& now);

// Adds "厂站汇总报告..." to the overview's plant menu: the report of the running plant to a PDF
// the operator names.
void AddPlantSummaryAction(QMenu* menu, PlantWork work, LastCompareFn lastCompare);

}  // namespace mp
