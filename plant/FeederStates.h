#pragma once
// What the plant knows of each feeder: the last value of every live group with the time it
// was read, the rated data, and the link state (answering, stale, not answering, line lost)
// with since when. Fed on the window thread by the lines' samples and their losses; read by
// the overview and by whatever publishes the plant's values. No widgets.

#include <QObject>
#include <QString>
#include <QVector>
#include <cstdint>
#include <optional>

#include "plant/FeederSample.h"
#include "plant/Plant.h"

namespace mp {

enum class FeederLink {
    Unknown,       // not visited yet since the plant (or its line) started
    Answering,     // the last visit got a reply, and it is recent
    Stale,         // the last good reply is older than the line's threshold
    NotAnswering,  // the last visit got no reply at all
    LineLost,      // the feeder's line failed (a port pulled out, a gateway gone)
};

// A value with the wall time (ms since the epoch) it was read at.
template <typename T>
struct TimedValue {
    T Value{};
    int64_t TimeMs = 0;
};

struct FeederState {
    QString Tag;
    QString Description;
    int Line = -1;  // the line's index in the plant
    uint8_t Address = 0;

    std::optional<TimedValue<PhaseCurrentReading>> Currents;
    std::optional<TimedValue<PhaseVoltageReading>> Voltages;
    std::optional<TimedValue<DigitalInputReading>> Inputs;
    std::optional<TimedValue<OutputStateReading>> Outputs;
    std::optional<TimedValue<StatusLampReading>> Status;
    std::optional<TimedValue<EventRecordTexts>> Events;
    std::optional<TimedValue<ProtectionSettings>> Settings;  // when the line reads them
    // The plant's rated data, else what the relay holds (absent until known).
    std::optional<double> CtRatio;
    std::optional<double> RatedCurrent;

    FeederLink Link = FeederLink::Unknown;
    int64_t LinkSinceMs = 0;   // since when the link state holds (0 for Unknown)
    QString LineMessage;       // why the line was lost
    int64_t LastAnswerMs = 0;  // the last visit that got a reply (0: none yet)
    int BackOffRounds = 0;     // rounds the scheduler skips it now

    // The currents in amperes (count × CT ratio × 0.001); nothing without both.
    std::optional<double> CurrentAmperes(int phase) const;
};

class CFeederStates : public QObject {
    Q_OBJECT
public:
    // The least age of the last good reply that makes a feeder stale, and how many of its
    // line's round times it is at least.
    static constexpr int64_t kStaleMinimumMs = 5000;
    static constexpr int kStaleRounds = 3;

    // One row per feeder of `plant`, in the plant's order; a feeder on a line the plant does
    // not have is left out.
    explicit CFeederStates(const Plant& plant, QObject* parent = nullptr);

    int Count() const { return static_cast<int>(Rows_.size()); }
    const FeederState& At(int row) const { return Rows_.at(row); }
    // The row of a feeder, or -1.
    int Find(int line, uint8_t address) const;
    int FindTag(const QString& tag) const;

    // A visit's sample. A group the visit did not read keeps its last value and time.
    void Apply(const FeederSample& sample);
    // The row's values and link as another source has them (the service's broker): all but
    // the feeder's place in the plant.
    void Put(int row, const FeederState& state);
    // The line failed: every feeder on it is LineLost from `nowMs`, with the message.
    void LineLost(int line, const QString& message, int64_t nowMs);
    // The line is back: its feeders are stale (with values) or unknown until visited again.
    void LineBack(int line, int64_t nowMs);
    // The line's latest round time, which sets its stale threshold.
    void SetRoundTime(int line, uint32_t ms);
    int64_t StaleAfterMs(int line) const;
    // Turns answering feeders whose last good reply is too old stale.
    void Refresh(int64_t nowMs);

signals:
    // The row's values or link state changed.
    void Changed(int row);

private:
    void SetLink(FeederState& state, FeederLink link, int64_t sinceMs);

    QVector<FeederState> Rows_;
    QVector<uint32_t> RoundMs_;  // per line
};

}  // namespace mp
