#pragma once
// A plant's lines at run time: one CDeviceLine per plant line, each with its own I/O worker
// and its own scheduler polling the relays on it, so lines run side by side and a slow or
// silent line never holds up another. A line that does not open or is lost is said once and
// tried again every 2 s; its poll resumes once it is back, and the other lines go on. The
// feeders' states are fed from every line's samples. Lives on the window thread.

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "line/LineEndpoint.h"
#include "plant/FeederStates.h"
#include "plant/LineScheduler.h"
#include "plant/Plant.h"

namespace mp {

class CDeviceLine;

// Where a plant line reaches its devices; a simulated line answers at the addresses of the
// feeders on it.
LineEndpoint LineEndpointOf(const PlantLine& line, const Plant& plant);
// The port settings a line is opened with (for a gateway: its host and port as the name,
// and the rate of its serial side).
PortSettings PortSettingsOf(const LineEndpoint& endpoint);

class CPlantLines : public QObject {
    Q_OBJECT
public:
    using LineFactory = std::function<std::unique_ptr<CDeviceLine>(const PlantLine&)>;

    enum class LineCondition { Idle, Opening, Polling, Failed, Closed };

    CPlantLines(const Plant& plant, LineFactory factory, QObject* parent = nullptr);
    ~CPlantLines() override;

    // Makes the lines, opens each on its own worker and starts its poll once open.
    void Start();
    // Tells every line to stop and close, then waits for each: within 1 s. Runs once.
    void Shutdown();

    int LineCount() const { return static_cast<int>(Lines_.size()); }
    // The line of a plant line (by index or Id), or nullptr before Start or for an unknown
    // one. The relay windows queue their operations on its worker.
    CDeviceLine* Line(int index) const;
    CDeviceLine* Line(const QString& id) const;
    CLineScheduler* Scheduler(int index) const;
    LineCondition Condition(int index) const;
    // Why the line is not polling (its port's words), empty while it polls.
    QString LineMessage(int index) const;

    CFeederStates& States() { return States_; }
    const Plant& PlantModel() const { return Plant_; }

    // The feeder's relay window opened or closed: its relay keeps at least every 2nd round.
    void SetWindowOpen(const QString& tag, bool open);

    // The relays' whole settings are read too, every `everyMs` (before Start; 0: never).
    void SetSettingsRead(uint32_t everyMs) { SettingsEveryMs_ = everyMs; }

    // Wall time for the samples and the line states (tests use the virtual clock's).
    void SetWallClock(CLineScheduler::WallClock clock);

signals:
    // A line opened, or came back after it was lost.
    void LineUp(int index);
    // A line did not open or was lost (said once until it is back).
    void LineDown(int index, const QString& message);

private:
    struct LineRun {
        PlantLine Config;
        PortSettings Settings;
        uint8_t FirstAddress = 1;
        std::unique_ptr<CDeviceLine> Device;
        std::unique_ptr<CLineScheduler> Scheduler;
        LineCondition Condition = LineCondition::Idle;
        QString Message;
    };

    void OpenLine(int index);
    void OnOpened(int index, bool opened, const QString& reason);
    void OnLost(int index, const QString& message);
    void OnBack(int index);
    int64_t Now() const;

    Plant Plant_;
    LineFactory Factory_;
    CFeederStates States_;
    std::vector<LineRun> Lines_;
    CLineScheduler::WallClock Wall_;
    uint32_t SettingsEveryMs_ = 0;
    QTimer* Refresh_ = nullptr;  // turns feeders without a recent answer stale
    bool Started_ = false;
    bool ShutDown_ = false;
};

}  // namespace mp
