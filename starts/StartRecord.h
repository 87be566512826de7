#pragma once
// One motor start as the tool keeps it: the captured samples, the settings in force when it
// was captured, and the figures taken from them (the peak current of each phase, the time
// until every phase fell below 1.2 × rated, the voltage dip, the trip verdicts). Kept as one
// JSON file per start; the figures are worked out again from the samples when it is read, so
// file and figures cannot disagree.

#include <QJsonObject>
#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "trend/StartCapture.h"

namespace mp {

struct StartRecord {
    QString Id;     // the file's name without ".json"
    QString Relay;  // the feeder's tag, or "地址 N"
    StartSettings Settings;
    double CtRatio = 1.0;               // the current transformer's ratio in force
    std::vector<TrendSample> Samples;   // from the start on
    std::optional<TrendSample> Before;  // the motor stopped, just before the start

    // Worked out by Figure().
    StartJudgement Judgement;
    std::array<double, 3> PhasePeaks{};   // A
    std::optional<double> VoltageBefore;  // V, mean of the phases before the start
    std::optional<double> VoltageLowest;  // V, the lowest phase during the start
    // Share of the voltage lost at its lowest, in %, against the voltage before the start
    // (or, without one, the voltage at the end of the capture).
    std::optional<double> DipPercent;

    int64_t StartAt() const { return Samples.empty() ? 0 : Samples.front().TimeMs; }
    // The figures from the samples and the settings.
    void Figure();

    QJsonObject ToJson() const;
    // Nothing when the object is not a start record of this tool.
    static std::optional<StartRecord> FromJson(const QJsonObject& object, const QString& id);
};

// A start's change against the baseline: peak +12 %, acceleration time +0.8 s, dip +1.5
// points. Nothing where either start lacks the figure.
struct StartChange {
    std::optional<double> PeakPercent;
    std::optional<double> SettledSeconds;
    std::optional<double> DipPoints;
};

StartChange CompareStarts(const StartRecord& start, const StartRecord& baseline);

}  // namespace mp
