#pragma once
// The service at run time: the plant's lines polling as in the overview, their feeders'
// states published to the broker, and one log line per event (a line lost or back, a feeder
// answering or not, the broker connection) for the journal.

#include <QObject>
#include <QVector>
#include <functional>
#include <memory>

#include "plant/FeederStates.h"
#include "plant/PlantLines.h"
#include "service/PlantPublisher.h"
#include "service/ServiceOptions.h"

namespace mp {

class CPlantService : public QObject {
    Q_OBJECT
public:
    using Log = std::function<void(const QString&)>;

    // `client` is the broker's client (the service's own, or a test's).
    CPlantService(ServiceOptions options, CMqttClient& client, Log log,
                  CPlantLines::LineFactory factory = {}, QObject* parent = nullptr);
    ~CPlantService() override;

    // Loads the plant, starts its lines and the client. False (said in the log) when the
    // plant file or the broker options cannot be used.
    bool Start();
    // Publishes "offline", waits up to `waitMs` for the broker to take what is waiting, and
    // stops the client and the lines.
    void Stop(int waitMs = 2000);

    CPlantLines* Lines() { return Lines_.get(); }
    CPlantPublisher* Publisher() { return Publisher_.get(); }

private:
    void SayFeeder(int row);

    ServiceOptions Options_;
    CMqttClient& Client_;
    Log Log_;
    CPlantLines::LineFactory Factory_;
    std::unique_ptr<CPlantLines> Lines_;
    std::unique_ptr<CPlantPublisher> Publisher_;
    QVector<FeederLink> Said_;
    bool Stopped_ = false;
};

}  // namespace mp
