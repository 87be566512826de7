#include "starts/StartRecord.h"

#include <QJsonArray>
#include <QJsonValue>
#include <algorithm>

namespace mp {
namespace {

constexpr int kRecordVersion = 1;

QJsonValue Value(const std::optional<double>& value) {
    return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonValue Value(const std::optional<uint8_t>& value) {
    return value ? QJsonValue(static_cast<int>(*value)) : QJsonValue(QJsonValue::Null);
}

std::optional<double> Double(const QJsonValue& value) {
    return value.isDouble() ? std::optional<double>(value.toDouble()) : std::nullopt;
}

std::optional<uint8_t> Byte(const QJsonValue& value) {
    if (!value.isDouble() || value.toInt(-1) < 0 || value.toInt(-1) > 255) {
        return std::nullopt;
    }
    return static_cast<uint8_t>(value.toInt());
}

// [time ms, IA, IB, IC, UA, UB, UC, inputs, outputs, status]; null for a read without reply.
QJsonArray SampleJson(const TrendSample& sample) {
    QJsonArray row{static_cast<double>(sample.TimeMs)};
    for (const auto& current : sample.Currents) {
        row.append(Value(current));
    }
    for (const auto& voltage : sample.Voltages) {
        row.append(Value(voltage));
    }
    row.append(Value(sample.Inputs));
    row.append(Value(sample.Outputs));
    row.append(Value(sample.Status));
    return row;
}

std::optional<TrendSample> SampleFromJson(const QJsonValue& value) {
    const QJsonArray row = value.toArray();
    if (row.size() != 10 || !row[0].isDouble()) {
        return std::nullopt;
    }
    TrendSample sample;
    sample.TimeMs = static_cast<int64_t>(row[0].toDouble());
    for (int k = 0; k < 3; ++k) {
        sample.Currents[static_cast<size_t>(k)] = Double(row[1 + k]);
        sample.Voltages[static_cast<size_t>(k)] = Double(row[4 + k]);
    }
    sample.Inputs = Byte(row[7]);
    sample.Outputs = Byte(row[8]);
    sample.Status = Byte(row[9]);
    sample.Answered.Currents = sample.Currents[0] || sample.Currents[1] || sample.Currents[2];
    sample.Answered.Voltages = sample.Voltages[0] || sample.Voltages[1] || sample.Voltages[2];
    sample.Answered.Inputs = sample.Inputs.has_value();
    sample.Answered.Outputs = sample.Outputs.has_value();
    sample.Answered.Status = sample.Status.has_value();
    return sample;
}

std::optional<double> MeanVoltage(const TrendSample& sample) {
    double sum = 0;
    int count = 0;
    for (const auto& voltage : sample.Voltages) {
        if (voltage) {
            sum += *voltage;
            ++count;
        }
    }
    return count > 0 ? std::optional<double>(sum / count) : std::nullopt;
}

}  // namespace

void StartRecord::Figure() {
    Judgement = CStartCapture::Judge(Samples, Settings);
    PhasePeaks = {};
    VoltageLowest.reset();
    for (const TrendSample& sample : Samples) {
        for (size_t k = 0; k < 3; ++k) {
            if (sample.Currents[k]) {
                PhasePeaks[k] = std::max(PhasePeaks[k], *sample.Currents[k]);
            }
            if (sample.Voltages[k] && (!VoltageLowest || *sample.Voltages[k] < *VoltageLowest)) {
                VoltageLowest = sample.Voltages[k];
            }
        }
    }
    VoltageBefore = Before ? MeanVoltage(*Before) : std::nullopt;
    std::optional<double> reference = VoltageBefore;
    for (auto it = Samples.rbegin(); !reference && it != Samples.rend(); ++it) {
        reference = MeanVoltage(*it);
    }
    DipPercent.reset();
    if (reference && *reference > 0 && VoltageLowest) {
        DipPercent = std::max(0.0, (*reference - *VoltageLowest) / *reference * 100.0);
    }
}

QJsonObject StartRecord::ToJson() const {
    QJsonObject settings{{QStringLiteral("ratedCurrent"), Settings.RatedCurrent},
                         {QStringLiteral("lockedRotorMultiple"), Settings.LockedRotorMultiple},
                         {QStringLiteral("lockedRotorTime"), Settings.LockedRotorTime},
                         {QStringLiteral("startTime"), Settings.StartTime},
                         {QStringLiteral("ctRatio"), CtRatio}};
    // The figures are written for people and other programs; the tool works them out again.
    QJsonObject figures{
        {QStringLiteral("peakCurrent"), Judgement.PeakCurrent},
        {QStringLiteral("phasePeaks"), QJsonArray{PhasePeaks[0], PhasePeaks[1], PhasePeaks[2]}},
        {QStringLiteral("settledAfterMs"),
         Judgement.SettledAfter ? QJsonValue(static_cast<double>(*Judgement.SettledAfter))
                                : QJsonValue(QJsonValue::Null)},
        {QStringLiteral("voltageBefore"), Value(VoltageBefore)},
        {QStringLiteral("voltageLowest"), Value(VoltageLowest)},
        {QStringLiteral("dipPercent"), Value(DipPercent)},
        {QStringLiteral("startTimeoutTrips"), Judgement.StartTimeoutTrips},
        {QStringLiteral("lockedRotorTrips"), Judgement.LockedRotorTrips}};
    QJsonArray samples;
    for (const TrendSample& sample : Samples) {
        samples.append(SampleJson(sample));
    }
    QJsonObject object{{QStringLiteral("version"), kRecordVersion},
                       {QStringLiteral("relay"), Relay},
                       {QStringLiteral("startAt"), static_cast<double>(StartAt())},
                       {QStringLiteral("settings"), settings},
                       {QStringLiteral("figures"), figures},
                       {QStringLiteral("samples"), samples}};
    if (Before) {
        object.insert(QStringLiteral("before"), SampleJson(*Before));
    }
    return object;
}

std::optional<StartRecord> StartRecord::FromJson(const QJsonObject& object, const QString& id) {
    if (object.value(QStringLiteral("version")).toInt() != kRecordVersion) {
        return std::nullopt;
    }
    StartRecord record;
    record.Id = id;
    record.Relay = object.value(QStringLiteral("relay")).toString();
    const QJsonObject settings = object.value(QStringLiteral("settings")).toObject();
    record.Settings.RatedCurrent = settings.value(QStringLiteral("ratedCurrent")).toDouble();
    record.Settings.LockedRotorMultiple =
        settings.value(QStringLiteral("lockedRotorMultiple")).toDouble();
    record.Settings.LockedRotorTime = settings.value(QStringLiteral("lockedRotorTime")).toDouble();
    record.Settings.StartTime = settings.value(QStringLiteral("startTime")).toDouble();
    record.CtRatio = settings.value(QStringLiteral("ctRatio")).toDouble(1.0);
    if (record.Settings.RatedCurrent <= 0) {
        return std::nullopt;
    }
    for (const QJsonValue& row : object.value(QStringLiteral("samples")).toArray()) {
        const std::optional<TrendSample> sample = SampleFromJson(row);
        if (!sample) {
            return std::nullopt;
        }
        record.Samples.push_back(*sample);
    }
    if (record.Samples.empty()) {
        return std::nullopt;
    }
    if (object.contains(QStringLiteral("before"))) {
        record.Before = SampleFromJson(object.value(QStringLiteral("before")));
    }
    record.Figure();
    return record;
}

StartChange CompareStarts(const StartRecord& start, const StartRecord& baseline) {
    StartChange change;
    if (baseline.Judgement.PeakCurrent > 0) {
        change.PeakPercent =
            (start.Judgement.PeakCurrent / baseline.Judgement.PeakCurrent - 1.0) * 100.0;
    }
    if (start.Judgement.SettledAfter && baseline.Judgement.SettledAfter) {
        change.SettledSeconds =
            static_cast<double>(*start.Judgement.SettledAfter - *baseline.Judgement.SettledAfter) /
            1000.0;
    }
    if (start.DipPercent && baseline.DipPercent) {
        change.DipPoints = *start.DipPercent - *baseline.DipPercent;
    }
    return change;
}

}  // namespace mp
