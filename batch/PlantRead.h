#pragma once
// Reading the settings of many relays of a plant: which relays, in which order, how far the
// run is and where it stopped. One relay at a time per line (a line carries one exchange at a
// time anyway, and a relay's read is a run of blocks with their waits), the lines side by
// side. Stop lets the relays being read finish and starts no other. Plain logic on the window
// thread: the read itself is handed in, so the run is driven without a window or a line.

#include <QString>
#include <QVector>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "files/SettingsValues.h"

namespace mp {

class CPlantLines;
struct Plant;

// One relay to read: a feeder of the plant.
struct RelayTarget {
    int Feeder = 0;  // its index in the plant's feeders
    QString Tag;
    QString Line;  // the id of its line
    uint8_t Address = 1;
};

// Reads one relay's settings and hands `done` the values (nothing: the relay did not answer)
// on the window thread; `done` is called once, possibly before the read returns.
using RelayRead = std::function<void(const RelayTarget&,
                                     std::function<void(std::optional<SettingsValues>)> done)>;

// The relays of `feeders` (indexes into the plant's feeders; empty: every feeder), in the
// plant's order.
std::vector<RelayTarget> TargetsOf(const Plant& plant, const QVector<int>& feeders);

// The read of a running plant: FetchDeviceSettings on the relay's line worker, between the
// line scheduler's visits. A line that is not running reads as a relay that did not answer.
RelayRead ReadOnPlantLines(CPlantLines* lines);

class CPlantReadRun {
public:
    // The relay `index` (into the targets) was read: its values, or nothing.
    using Reached = std::function<void(int index, const std::optional<SettingsValues>& values)>;

    CPlantReadRun(std::vector<RelayTarget> targets, RelayRead read);
    ~CPlantReadRun();
    CPlantReadRun(const CPlantReadRun&) = delete;
    CPlantReadRun& operator=(const CPlantReadRun&) = delete;

    // Starts the first relay of every line. `reached` runs for each relay read; `finished`
    // once, when no relay is being read and none is left to start (or Stop was asked for).
    void Start(Reached reached, std::function<void()> finished);
    // No relay is started from now on; the ones being read finish.
    void Stop();

    const std::vector<RelayTarget>& Targets() const { return Targets_; }
    int Total() const { return static_cast<int>(Targets_.size()); }
    int Done() const { return Done_; }
    bool Running() const { return Started_ && !Finished_; }
    bool Stopped() const { return Stopped_; }
    bool Finished() const { return Finished_; }

private:
    void StartNext(const QString& line);
    void OnRead(int index, const std::optional<SettingsValues>& values);
    void FinishIfIdle();

    std::vector<RelayTarget> Targets_;
    RelayRead Read_;
    std::map<QString, std::deque<int>> Waiting_;  // by line, in the plant's order
    Reached Reached_;
    std::function<void()> WhenFinished_;
    int Reading_ = 0;
    int Done_ = 0;
    bool Started_ = false;
    bool Stopped_ = false;
    bool Finished_ = false;
    // Reads that come back after the run is gone find this expired.
    std::shared_ptr<int> Alive_ = std::make_shared<int>(0);
};

}  // namespace mp
