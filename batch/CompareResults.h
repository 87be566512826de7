#pragma once
// The last comparison of each feeder's relay with its effective settings, kept in memory by
// the plant's batch work for what shows the plant later (the plant summary).

#include <QDateTime>
#include <QMap>
#include <QString>

namespace mp {

enum class CompareOutcome {
    Equal,         // "一致"
    Differs,       // the relay holds other values
    NotAnswering,  // "无应答"
    NoSource,      // "无定值来源": neither a settings file nor a template
    Refused,       // the effective settings are refused: Detail holds the faults
    NotCompared,   // the compare was stopped before this feeder
};

struct CompareResult {
    QDateTime At;  // when the relay was read (or the feeder looked at)
    CompareOutcome Outcome = CompareOutcome::NotCompared;
    int Differences = 0;  // settings and check boxes that differ
    QString Source;       // the effective settings' source in words
    QString Detail;       // the faults of refused settings, one per line
};

// By feeder tag.
using CompareResults = QMap<QString, CompareResult>;

// The outcome in the window's language: "一致", "不一致（3 项）", "无应答", ...
QString CompareOutcomeText(const CompareResult& result);
// Takes the feeders `latest` compared into `last`; a feeder a stopped compare did not reach
// keeps its earlier result.
void KeepCompareResults(CompareResults& last, const CompareResults& latest);
// The last compare of feeder `tag` with its time, "一致 (2026-12-08 06:20)"; empty when the
// feeder has not been compared.
QString LastCompareText(const CompareResults& results, const QString& tag);

}  // namespace mp
